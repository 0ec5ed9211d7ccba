// The application configuration: one flat list kept as "common/total" and
// "common/0".."common/<total-1>" in apConfig.bin, restorable from the factory
// copy apConfigD.bin.
#include "definitions.h"
#include "myquickview.h"
#include "programfiles.h"

#include <QFile>
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
    // out to the file that is about to go.
    apConfig->sync();
    apConfig->deleteLater();
    apConfig = nullptr;
    QFile::remove(fileName);
    // The cache takes the file as unchanged when size and time stamp match,
    // and a factory copy of the same size made within the same tick of the
    // file system's clock would match. Opening the settings while the file
    // is absent empties the cache, so the copy is read afresh below.
    apConfig = new QSettings(QString::fromLatin1(programfiles::kApConfig), QSettings::IniFormat);
    QFile::copy(QString::fromLatin1(programfiles::kFactoryApConfig), fileName);
    apConfig->sync();
}
