#include "filecopy.h"

#include "bridgelog.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace filecopy {

namespace {

// QSettings keeps what it read of a file and takes the file as unchanged
// while its size and modification time match. A copy of the same size made
// within the same millisecond as the old file's last write would go unseen,
// so its time is moved on by one.
void makeChangeVisible(const QString &target, qint64 oldSize, const QDateTime &oldTime)
{
    const QFileInfo now(target);
    if (!oldTime.isValid() || now.size() != oldSize || now.lastModified() != oldTime)
        return;
    QFile file(target);
    if (file.open(QIODevice::ReadWrite))
        file.setFileTime(oldTime.addMSecs(1), QFileDevice::FileModificationTime);
}

} // namespace

bool replaceWithCopy(const QString &source, const QString &target)
{
    const QFileInfo from(source);
    // A FIFO or device would block the GUI on the read below.
    if (!from.isFile() || from.size() > kMaxCopyBytes) {
        qCWarning(lcBridge) << "not copied, not a regular file of a sensible size:" << source;
        return false;
    }
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        qCWarning(lcBridge) << "cannot read" << source;
        return false;
    }
    // Read in pieces up to one byte past the limit: a file that grew after
    // the check above is refused rather than copied in part, and a small
    // file costs no buffer of the largest size.
    QByteArray content;
    content.reserve(int(from.size()));
    char piece[16384];
    qint64 got = 0;
    while (content.size() <= kMaxCopyBytes && (got = in.read(piece, sizeof piece)) > 0)
        content.append(piece, int(got));
    if (got < 0 || content.size() > kMaxCopyBytes || in.error() != QFileDevice::NoError)
        return false;

    const QFileInfo old(target);
    const qint64 oldSize = old.exists() ? old.size() : -1;
    const QDateTime oldTime = old.exists() ? old.lastModified() : QDateTime();

    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly) || out.write(content) != content.size() || !out.commit()) {
        qCWarning(lcBridge) << "cannot replace" << target << out.errorString();
        return false;
    }
    makeChangeVisible(target, oldSize, oldTime);
    return true;
}

} // namespace filecopy
