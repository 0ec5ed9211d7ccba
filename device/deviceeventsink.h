// Where the device monitor delivers what the keyboard announces on its event
// interface. The view implements it; tests plug in a recorder.
#pragma once

#include <QtGlobal>

class DeviceEventSink
{
public:
    virtual ~DeviceEventSink() = default;

    // Called on the monitor's pool thread, once per 12-byte event report,
    // with bytes 1, 4, 5 and 6 of the report. Implementations must only queue
    // work to their own thread.
    virtual void zzzTovrin(uchar profileNo, uchar effect, uchar brightness, uchar speed) = 0;
};
