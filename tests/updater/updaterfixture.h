// Shared pieces of romwriter's tests: the keyboard's interfaces, the commands
// sent to it and quick access to the window's widgets. The program folder
// ("./data.bin" is read from it) and the debug capture are the suite's own.
#pragma once

#include "debugcapture.h"
#include "programfolder.h"
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

using fixture::DebugCapture;

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
