// Starting the device link's tasks on Qt's shared worker pool.
#pragma once

#include <QFuture>

// Runs fn(arg) on QThreadPool::globalInstance() through QtConcurrent::run.
//
// Qt hands tasks to its pool threads through a futex that the thread
// sanitizer cannot see, so the task object Qt builds would look shared
// without synchronisation. This file is therefore built without the
// sanitizer, and the task receives nothing but a function and a pointer; the
// caller orders its own data with a HandOff.
QFuture<void> runOnPool(void (*fn)(void *), void *arg);
