#include "updaterfixture.h"

#include <QDir>
#include <QFile>

#include <mutex>
#include <vector>

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

void plugKeyboard()
{
    q3emu::plug(q3emu::Interface::Command);
    q3emu::plug(q3emu::Interface::Event);
}

void unplugKeyboard()
{
    q3emu::unplug(q3emu::Interface::Command);
    q3emu::unplug(q3emu::Interface::Event);
}

std::vector<q3emu::TraceEntry> commandsSent(uint8_t code)
{
    std::vector<q3emu::TraceEntry> out;
    for (const auto &e : q3emu::trace())
        if (e.kind == q3emu::TraceEntry::Kind::FeatureSent && e.iface == q3emu::Interface::Command &&
            e.bytes.size() > 1 && e.bytes[1] == code)
            out.push_back(e);
    return out;
}

namespace {

std::mutex captureLock;
QStringList captured;
std::vector<std::chrono::steady_clock::time_point> capturedAt;
QtMessageHandler previousHandler = nullptr;

void capture(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    {
        std::lock_guard<std::mutex> locker(captureLock);
        captured.append(message);
        capturedAt.push_back(std::chrono::steady_clock::now());
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
    capturedAt.clear();
}

std::optional<std::chrono::steady_clock::time_point>
DebugLines::timeOf(const QString &line, std::chrono::steady_clock::time_point after) const
{
    std::lock_guard<std::mutex> locker(captureLock);
    for (int i = 0; i < captured.size(); ++i)
        if (captured[i] == line && capturedAt[static_cast<size_t>(i)] > after)
            return capturedAt[static_cast<size_t>(i)];
    return std::nullopt;
}

} // namespace updaterfixture
