// Shared pieces of romwriter's tests: a program folder to run the window in,
// a capture of its debug lines and quick access to its widgets.
#pragma once

#include "q3emu.h"
#include "window.h"

#include <QByteArray>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStringList>
#include <QTemporaryDir>

#include <chrono>
#include <optional>
#include <vector>

namespace updaterfixture {

// A temporary folder made the working directory while it lives, as
// romwriter's start-up makes its own folder; "./data.bin" is read from here.
class ProgramFolder
{
public:
    ProgramFolder();
    ~ProgramFolder();
    bool writeImage(const QByteArray &bytes);
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

// Collects every debug line while it lives.
class DebugLines
{
public:
    DebugLines();
    ~DebugLines();
    QStringList lines() const;
    // When `line` was written the first time after `after`; nullopt if not.
    std::optional<std::chrono::steady_clock::time_point>
    timeOf(const QString &line, std::chrono::steady_clock::time_point after = {}) const;
    int count(const QString &line) const { return lines().count(line); }
    int countStartingWith(const QString &prefix) const;
    void clear();
};

// The keyboard in normal mode: its command and event interfaces.
void plugKeyboard();
void unplugKeyboard();

// Command reports the host sent to the keyboard whose packet starts with
// `code`, in order.
std::vector<q3emu::TraceEntry> commandsSent(uint8_t code);

inline double msBetween(std::chrono::steady_clock::time_point from, std::chrono::steady_clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

inline QString status(const romwriter::Widget &w)
{
    return w.findChild<QLabel *>(QStringLiteral("statusLabel"))->text();
}
inline QPushButton *updateButton(const romwriter::Widget &w)
{
    return w.findChild<QPushButton *>(QStringLiteral("updateButton"));
}
inline QPushButton *exitButton(const romwriter::Widget &w)
{
    return w.findChild<QPushButton *>(QStringLiteral("exitButton"));
}
inline QProgressBar *progressBar(const romwriter::Widget &w)
{
    return w.findChild<QProgressBar *>(QStringLiteral("progressBar"));
}
inline QString checksumText(const romwriter::Widget &w)
{
    return w.findChild<QLineEdit *>(QStringLiteral("checksumField"))->text();
}

} // namespace updaterfixture
