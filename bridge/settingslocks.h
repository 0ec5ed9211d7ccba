// Lock files beside the settings files. Every save of a settings file takes
// "<file>.lock" (and "<file>.lock.rmlock" while it clears a stale one); a
// program that dies between creating such a lock and writing its owner
// into it leaves the lock empty. An empty lock names no owner whose death
// would free it, so it counts as held until it is half a minute old, and the
// next save of that file waits for it on the GUI thread.
#pragma once

#include <QString>

namespace settingslocks {

// Removes the empty "*.lock" and "*.lock.rmlock" files directly in `folder`.
// Locks with an owner written in are left to the settings class, which
// takes them over once their owner is gone. Only one copy of the program
// uses a program folder, so at start-up no empty lock there is anyone's.
// Returns how many were removed.
int removeEmptyLocks(const QString &folder);

} // namespace settingslocks
