// Records every call romwriter makes into the programming library. Linked
// into a test executable, ispcalls.cpp defines the library's C ABI in front
// of it: romwriter's calls land here, are logged and go on to the library.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <chrono>
#include <optional>

namespace ispcalls {

struct Call {
    QString line;
    std::chrono::steady_clock::time_point time; // when it was made
};
QList<Call> calls();

// One line per call, e.g. "EraseByPage 3 1 0" or "LockAll"; results are not
// logged.
QStringList log();
int count(const QString &function);
// Lines of one function, in order.
QStringList callsOf(const QString &function);
void clear();

// When set, LoadProgdata reports this format word instead of the library's.
void overrideFormatWord(std::optional<unsigned short> word);
// The next call of `function` still goes to the library but reports
// `result` instead of the library's.
void overrideNextResult(const QString &function, int result);
// When set, GetMCUInfo reports this page count instead of the library's.
void overridePageCount(std::optional<unsigned int> count);

} // namespace ispcalls
