#include "settingslocks.h"

#include "bridgelog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace settingslocks {

int removeEmptyLocks(const QString &folder)
{
    int removed = 0;
    const QFileInfoList locks = QDir(folder).entryInfoList(
        {QStringLiteral("*.lock"), QStringLiteral("*.lock.rmlock")}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo &lock : locks) {
        // A link is someone's choice, not a lock left by a crash.
        if (lock.isSymLink() || lock.size() != 0)
            continue;
        if (QFile::remove(lock.filePath())) {
            qCDebug(lcBridge) << "removed the empty lock" << lock.filePath();
            ++removed;
        }
    }
    return removed;
}

} // namespace settingslocks
