// Orders what one thread wrote before starting a pool task before what the
// task reads. Qt's thread pool hands tasks over through a futex, outside the
// C++ memory model's view (and the thread sanitizer's), so the device link
// passes its own hand-over through a mutex as well.
#pragma once

#include <mutex>

class HandOff
{
public:
    // After the writes, before the task is started.
    void publish() { std::lock_guard<std::mutex> locker(m_lock); }
    // First thing in the task.
    void receive() { std::lock_guard<std::mutex> locker(m_lock); }

private:
    std::mutex m_lock;
};
