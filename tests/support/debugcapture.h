// A capture of every debug line written while it lives, from any thread,
// each with the time it was written.
#pragma once

#include <QString>
#include <QStringList>

#include <chrono>
#include <optional>

namespace fixture {

class DebugCapture
{
public:
    DebugCapture();
    ~DebugCapture();
    DebugCapture(const DebugCapture &) = delete;
    DebugCapture &operator=(const DebugCapture &) = delete;

    QStringList lines() const;
    int count(const QString &line) const;
    int countStartingWith(const QString &prefix) const;
    // When `line` was written the first time after `after`; nullopt if not.
    std::optional<std::chrono::steady_clock::time_point>
    timeOf(const QString &line, std::chrono::steady_clock::time_point after = {}) const;
    void clear();
};

} // namespace fixture
