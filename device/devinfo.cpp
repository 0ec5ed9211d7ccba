#include "devinfo.h"

#include <QSettings>

const char *const kDevInfoResource = ":/DevInfo.ini";

namespace {

uint16_t readHex16(const QSettings &doc, const QString &key)
{
    bool ok = false;
    const uint value = doc.value(key).toString().toUInt(&ok, 16);
    return ok && value <= 0xFFFF ? static_cast<uint16_t>(value) : 0;
}

int readType(const QSettings &doc, const QString &key)
{
    if (!doc.contains(key))
        return -1;
    bool ok = false;
    const int value = doc.value(key).toString().toInt(&ok, 16);
    return ok ? value : 0;
}

unsigned readUnsigned(const QSettings &doc, const QString &key)
{
    bool ok = false;
    const uint value = doc.value(key).toString().toUInt(&ok, 10);
    return ok ? value : 0;
}

} // namespace

DevInfo loadDevInfo(const QString &path, const QStringList &productNames)
{
    // The resource lives in the device library; a static library's resources
    // are registered only on request.
    Q_INIT_RESOURCE(devinfo);

    QSettings doc(path, QSettings::IniFormat);
    DevInfo info;
    info.isEncode = doc.value("common/isEncode", false).toBool();

    const int total = doc.value("common/total", 0).toInt();
    for (int n = 0; n < total; ++n) {
        const QString group = QString::number(n) + '/';
        DevInfoRecord r;
        r.type = readType(doc, group + "type");
        r.vid = readHex16(doc, group + "vid");
        r.pid = readHex16(doc, group + "pid");
        r.usagePage = readHex16(doc, group + "usagePage");
        r.usage = readHex16(doc, group + "usage");
        r.usagePage2 = readHex16(doc, group + "usagePage2");
        r.usage2 = readHex16(doc, group + "usage2");
        r.lib = doc.value(group + "lib").toString();
        r.name = productNames.value(n);
        r.reportLength = readUnsigned(doc, group + "reportLength");
        info.records.append(r);
    }
    return info;
}
