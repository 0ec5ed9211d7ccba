#include "updaterfixture.h"

#include <QDir>
#include <QFile>

#include <mutex>

namespace updaterfixture {

ProgramFolder::ProgramFolder() : m_previous(QDir::currentPath())
{
    QDir::setCurrent(m_dir.path());
}

ProgramFolder::~ProgramFolder()
{
    QDir::setCurrent(m_previous);
}

bool ProgramFolder::writeImage(const QByteArray &bytes)
{
    QFile file(m_dir.filePath(QStringLiteral("data.bin")));
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

namespace {

std::mutex captureLock;
QStringList captured;
QtMessageHandler previousHandler = nullptr;

void capture(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    {
        std::lock_guard<std::mutex> locker(captureLock);
        captured.append(message);
    }
    if (previousHandler)
        previousHandler(type, context, message);
}

} // namespace

DebugLines::DebugLines()
{
    clear();
    previousHandler = qInstallMessageHandler(capture);
}

DebugLines::~DebugLines()
{
    qInstallMessageHandler(previousHandler);
}

QStringList DebugLines::lines() const
{
    std::lock_guard<std::mutex> locker(captureLock);
    return captured;
}

int DebugLines::countStartingWith(const QString &prefix) const
{
    int n = 0;
    for (const QString &line : lines())
        n += line.startsWith(prefix) ? 1 : 0;
    return n;
}

void DebugLines::clear()
{
    std::lock_guard<std::mutex> locker(captureLock);
    captured.clear();
}

} // namespace updaterfixture
