#include "debugcapture.h"

#include <mutex>
#include <vector>

namespace fixture {

namespace {

std::mutex captureLock;
QStringList captured;
std::vector<std::chrono::steady_clock::time_point> capturedAt;
QtMessageHandler previousHandler = nullptr;

void captureMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
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

DebugCapture::DebugCapture()
{
    clear();
    previousHandler = qInstallMessageHandler(captureMessage);
}

DebugCapture::~DebugCapture()
{
    qInstallMessageHandler(previousHandler);
}

QStringList DebugCapture::lines() const
{
    std::lock_guard<std::mutex> locker(captureLock);
    return captured;
}

int DebugCapture::count(const QString &line) const
{
    return lines().count(line);
}

int DebugCapture::countStartingWith(const QString &prefix) const
{
    int n = 0;
    for (const QString &line : lines())
        n += line.startsWith(prefix) ? 1 : 0;
    return n;
}

std::optional<std::chrono::steady_clock::time_point>
DebugCapture::timeOf(const QString &line, std::chrono::steady_clock::time_point after) const
{
    std::lock_guard<std::mutex> locker(captureLock);
    for (int i = 0; i < captured.size(); ++i)
        if (captured[i] == line && capturedAt[static_cast<size_t>(i)] > after)
            return capturedAt[static_cast<size_t>(i)];
    return std::nullopt;
}

void DebugCapture::clear()
{
    std::lock_guard<std::mutex> locker(captureLock);
    captured.clear();
    capturedAt.clear();
}

} // namespace fixture
