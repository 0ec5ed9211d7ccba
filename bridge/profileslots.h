// Profile slot files for a fresh program folder. Only the default profile
// pD.bin ships; the four slot files p1.bin to p4.bin are the user's and are
// made from it the first time the program runs in a folder.
#pragma once

#include <QString>

namespace profileslots {

// Makes `slotFile` a copy of `defaultFile` when nothing at all is at
// `slotFile` (no file, folder or link, dangling or not). The copy is written
// to a temporary file and renamed into place, so the slot file is complete
// or absent. Returns true when a slot file was made.
bool makeFromDefault(const QString &slotFile, const QString &defaultFile);

// makeFromDefault for the slot files of slots 0 to 3, from the shipped
// default profile, relative to the current (program) folder. Returns how many
// were made. Without a default profile nothing is made and the slots read
// as empty, as before.
int makeMissingSlots();

} // namespace profileslots
