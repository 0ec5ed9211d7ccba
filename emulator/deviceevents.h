// Plugs and unplugs of the emulated interfaces, fanned out to the libudev
// monitors that the udev stand-in (udevmonitor.cpp) has handed out.
#pragma once

#include "q3emu.h"

namespace q3emu::detail {

// Queues one "add" or "remove" event on every receiving monitor whose filter
// lets a hidraw device through. Takes only the event hub's own lock, so the
// model may call it while holding its mutex.
void publishDeviceEvent(Interface iface, bool added);

} // namespace q3emu::detail
