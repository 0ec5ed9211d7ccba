#include "singleinstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <unistd.h>

QString SingleInstanceGuard::lockPathFor(const QString &programPath)
{
    const QString absolute = QFileInfo(programPath).absoluteFilePath();
    const QByteArray key = QCryptographicHash::hash(absolute.toUtf8(), QCryptographicHash::Sha1).toHex();
    // The runtime folder is private to the user; without one (no session),
    // the temporary folder with the user id in the name keeps users apart.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return QDir(folder).filePath(
        QStringLiteral("gearpanel-%1-%2.lock").arg(::getuid()).arg(QString::fromLatin1(key.left(16))));
}

SingleInstanceGuard::SingleInstanceGuard(const QString &programPath)
    : lock(std::make_unique<QLockFile>(lockPathFor(programPath)))
{
    // The default stale time would let a second copy take the lock of a
    // first one that has simply been running for half a minute. Only a lock
    // whose process is gone counts as stale, which QLockFile checks anyway.
    lock->setStaleLockTime(0);
    owned = lock->tryLock(0);
}

SingleInstanceGuard::~SingleInstanceGuard()
{
    if (owned)
        lock->unlock();
}
