// Orders what one thread wrote before starting a pool task before what the
// task reads (and the task's last writes before whoever waited for it).
//
// Qt's thread pool and futures hand over through a futex, outside the C++
// memory model's view and the thread sanitizer's, so the device link passes
// its hand-overs through a mutex as well. The mutex is process-wide and
// constant-initialised: it exists before any pool thread, which a member of
// a link created later would not.
#pragma once

namespace handoff {

// After the writes, before the task is started (or, in the task, at its end).
void publish();
// First thing in the task (or, in the waiter, after the task has ended).
void receive();

} // namespace handoff
