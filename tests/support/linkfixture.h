// Shared pieces of the device tests: a device link set up on the emulated
// keyboard, a capture of debug lines and a recorder for monitor events.
#pragma once

#include "debugcapture.h"
#include "deviceeventsink.h"
#include "hid_thread.h"
#include "q3emu.h"

#include <QMetaType>
#include <QString>
#include <QStringList>

#include <memory>
#include <mutex>
#include <vector>

namespace fixture {

struct MonitorEvent {
    uchar profileNo, effect, brightness, speed;
    bool operator==(const MonitorEvent &o) const
    {
        return profileNo == o.profileNo && effect == o.effect && brightness == o.brightness &&
               speed == o.speed;
    }
};

class EventRecorder : public DeviceEventSink
{
public:
    void zzzTovrin(uchar profileNo, uchar effect, uchar brightness, uchar speed) override;
    std::vector<MonitorEvent> events() const;

private:
    mutable std::mutex m_lock;
    std::vector<MonitorEvent> m_events;
};

// Resets the emulated keyboard to `scenario` (report delay 0 unless given)
// and returns a link that has run discovery on it with the shipped
// description, scrambling as `scrambled` on both sides, and its monitor
// started and reporting to `recorder` when one is given.
std::unique_ptr<Hid_Thread> makeLink(q3emu::Scenario scenario = q3emu::Scenario::Keyboard,
                                     bool scrambled = false, EventRecorder *recorder = nullptr,
                                     std::chrono::microseconds reportDelay = std::chrono::microseconds(0));

// Trace entries of one kind, in order.
std::vector<q3emu::TraceEntry> traceOf(q3emu::TraceEntry::Kind kind);
// "00 21 02 ..." for failure messages and table rows.
QString hex(const std::vector<uint8_t> &bytes);
std::vector<uint8_t> bytesFromHex(const QString &text);

// Waits (processing events) until the link is idle again, at most 5 s.
bool waitUntilIdle(const Hid_Thread &link);

} // namespace fixture

Q_DECLARE_METATYPE(q3emu::Scenario)
