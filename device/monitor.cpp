// The monitor task: watches the event interface of the selected device on a
// pool thread. It opens the interface afresh every cycle, so an unplugged
// keyboard shows up as a failed open within one cycle.
#include "hid_thread.h"

#include "handoff.h"
#include "logging.h"

#include <hidapi.h>

namespace {

constexpr int kEventReportSize = 12;

} // namespace

void Hid_Thread::monitorDevice(uint did)
{
    const DeviceEntry *entry = row(did);
    if (!entry || entry->eventPath().isEmpty())
        return;

    while (isMonitoring) {
        if (!openEventDevice(did)) {
            qCDebug(lcDevice) << "Device removed";
            if (DeviceEntry *gone = row(did))
                gone->clearEventPath();
            isMonitoring = false;
            return;
        }
        // Larger than an event report, so that a longer report is seen as
        // such instead of being cut down to a valid-looking one.
        uchar report[64] = {};
        const int got = hid_read_timeout(eventHandle, report, sizeof report, kEventReadTimeoutMs);
        if (got == kEventReportSize) {
            if (DeviceEventSink *sink = owner)
                sink->zzzTovrin(report[1], report[4], report[5], report[6]);
        }
        hid_close(eventHandle);
        eventHandle = nullptr;
    }
}

void Hid_Thread::monitorTask(void *self)
{
    auto *link = static_cast<Hid_Thread *>(self);
    handoff::receive();
    link->monitorDevice(link->monitoredDid);
    handoff::publish();
}

void Hid_Thread::stopMonitor()
{
    isMonitoring = false;
    // Waiting on a task that has already ended returns at once; one that has
    // not started yet is run here.
    monitorFuture.waitForFinished();
    handoff::receive();
}
