// Copies that replace a file the program depends on: the target is either
// the complete copy or untouched, never missing or half written.
#pragma once

#include <QString>

namespace filecopy {

// Larger files are refused: nothing the program keeps comes near it, and
// copying a huge file would stall the GUI.
constexpr qint64 kMaxCopyBytes = 4 * 1024 * 1024;

// Copies `source` into a temporary file beside `target` and renames it over
// `target` once complete. Only a regular, readable `source` of at most
// kMaxCopyBytes is taken. Returns false, leaving `target` as it was, when
// anything fails.
bool replaceWithCopy(const QString &source, const QString &target);

} // namespace filecopy
