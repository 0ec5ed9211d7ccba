// The application configuration: one flat list kept as "common/total" and
// "common/0".."common/<total-1>" in apConfig.bin, restorable from the factory
// copy apConfigD.bin.
#include "bridgelog.h"
#include "definitions.h"
#include "filecopy.h"
#include "myquickview.h"
#include "programfiles.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace {

QString entryKey(int index)
{
    return QStringLiteral("common/%1").arg(index);
}

} // namespace

void myQQuickView::saveApConfig(QVariantList apConfigs)
{
    if (!apConfig)
        return;
    // Entries beyond the new total are left in place: a shorter list only
    // lowers the total.
    apConfig->setValue(QStringLiteral("common/total"), apConfigs.size());
    for (int i = 0; i < apConfigs.size(); ++i)
        apConfig->setValue(entryKey(i), apConfigs.at(i));
}

QVariantList myQQuickView::loadApConfig()
{
    QVariantList entries;
    if (!apConfig)
        return entries;
    const int total = definitions::boundedCount(apConfig->value(QStringLiteral("common/total"), 0));
    entries.reserve(total);
    for (int i = 0; i < total; ++i)
        entries.append(apConfig->value(entryKey(i), 0));
    return entries;
}

void myQQuickView::resetApconfig()
{
    if (!apConfig)
        return;
    const QString fileName = apConfig->fileName();
    // QSettings keeps one cache per file, shared by every object on it and
    // kept after they are gone; the old object itself is only destroyed on a
    // later turn of the event loop. Unsaved changes left in that cache would
    // be merged into the factory copy by the next sync, so they are written
    // out to the old file first.
    apConfig->sync();
    apConfig->deleteLater();
    apConfig = nullptr;
    const QString factory = QString::fromLatin1(programfiles::kFactoryApConfig);
    if (QFileInfo(factory).isFile()) {
        // Removing the file before copying left the program without any
        // configuration when it died in between. The copy replaces it in one
        // step instead, and moves the time stamp on where size and time alone
        // would let the cache take it for the old file.
        if (!filecopy::replaceWithCopy(factory, fileName))
            qCWarning(lcBridge) << "configuration kept: the factory copy could not be made";
    } else {
        // Without a factory copy a reset leaves no configuration; the next
        // save creates the file anew.
        QFile::remove(fileName);
    }
    apConfig = new QSettings(QString::fromLatin1(programfiles::kApConfig), QSettings::IniFormat);
    apConfig->sync();
}
