// X device events to the records of the hook procedures. Kept free of X
// headers so that it can be tested with synthetic events.
//
// Keys: an X keycode is the Linux input code + 8 (evdev and libinput
// drivers, Xwayland). The Linux code becomes the set-1 scan code a PC
// keyboard sends for that key, with the extended flag for keys sent with an
// E0 prefix, following Windows where the tables depend on it: Pause is 0x45
// without the flag (0x46 with it while Ctrl is down: Ctrl+Break), Num Lock
// 0x45 with it, Print Screen E0 37 (0x54 without the flag while Alt is down:
// Alt+SysRq). The Alt-down flag comes from the event's modifier state, which
// X gives as it was before the event.
//
// Auto-repeat: an X server repeats a held key as a release and a press of
// that key with the same time stamp. Such a pair is a repeat, so a release
// is held back until the next event shows whether a press of the same key
// and time follows, or until flush().
//
// Buttons: 1, 2, 3 are left, middle and right; 4 to 7 (the wheels) and 8
// and up (the extra buttons) become the wheel and extra-button messages,
// which the mouse procedure does not report.
#pragma once

#include "inputhooks.h"

#include <cstdint>

namespace input {

// X protocol event types and core modifier bits.
constexpr uint8_t kXKeyPress = 2;
constexpr uint8_t kXKeyRelease = 3;
constexpr uint8_t kXButtonPress = 4;
constexpr uint8_t kXButtonRelease = 5;
constexpr uint16_t kXControlMask = 0x0004;
constexpr uint16_t kXMod1Mask = 0x0008;

// An X device event, reduced to what capture reads of it.
struct XDeviceEvent {
    uint8_t type;   // kXKeyPress .. kXButtonRelease; others are ignored
    uint8_t detail; // keycode or button
    uint32_t time;  // server time, ms
    uint16_t state; // modifiers and buttons down before the event
    int16_t rootX;
    int16_t rootY;
};

struct ScanCode {
    uint8_t code; // 0: no scan code known for the key
    bool extended;
};

// The scan code of Linux input code `linuxCode` with no modifier down.
ScanCode scanCodeForLinuxKey(uint16_t linuxCode);

class XEventTranslator
{
public:
    using KeySink = void (*)(uint32_t message, const KeyEventRecord &record);
    using MouseSink = void (*)(uint32_t message, const MouseEventRecord &record);

    // `altMask` is the set of modifier bits that mean Alt on this display.
    XEventTranslator(KeySink keySink, MouseSink mouseSink, uint16_t altMask = kXMod1Mask);

    void feed(const XDeviceEvent &event);
    // Passes on a release held back for want of a next event.
    void flush();
    bool hasPendingRelease() const { return m_pending; }

private:
    void emitKey(const XDeviceEvent &event);
    void emitButton(const XDeviceEvent &event);

    KeySink m_keySink;
    MouseSink m_mouseSink;
    uint16_t m_altMask;
    bool m_pending = false;
    XDeviceEvent m_pendingRelease{};
};

} // namespace input
