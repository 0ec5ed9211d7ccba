#include "xeventtranslator.h"

#include "keytables.h"

namespace input {

namespace {

constexpr int kXKeycodeOffset = 8;

// Linux input codes (linux/input-event-codes.h) whose set-1 scan code is
// not the code itself.
constexpr uint16_t kKeyNumLock = 69;
constexpr uint16_t kKeyRightShift = 54;
constexpr uint16_t kKeySysRq = 99; // the Print Screen key
constexpr uint16_t kKeyPause = 119;

struct Extended {
    uint16_t linuxCode;
    ScanCode scan;
};

// clang-format off
constexpr Extended kExtendedKeys[] = {
    {96, {0x1C, true}},  // keypad Enter
    {97, {0x1D, true}},  // right Ctrl
    {98, {0x35, true}},  // keypad divide
    {99, {0x37, true}},  // Print Screen
    {100, {0x38, true}}, // right Alt
    {102, {0x47, true}}, // Home
    {103, {0x48, true}}, // Up
    {104, {0x49, true}}, // Page Up
    {105, {0x4B, true}}, // Left
    {106, {0x4D, true}}, // Right
    {107, {0x4F, true}}, // End
    {108, {0x50, true}}, // Down
    {109, {0x51, true}}, // Page Down
    {110, {0x52, true}}, // Insert
    {111, {0x53, true}}, // Delete
    {117, {0x59, false}}, // keypad equals
    {119, {0x45, false}}, // Pause
    {125, {0x5B, true}}, // left Windows
    {126, {0x5C, true}}, // right Windows
    {127, {0x5D, true}}, // Application
    {183, {0x64, false}}, {184, {0x65, false}}, {185, {0x66, false}}, {186, {0x67, false}}, // F13..F16
    {187, {0x68, false}}, {188, {0x69, false}}, {189, {0x6A, false}}, {190, {0x6B, false}}, // F17..F20
    {191, {0x6C, false}}, {192, {0x6D, false}}, {193, {0x6E, false}}, {194, {0x76, false}}, // F21..F24
};
// clang-format on

uint32_t buttonMessage(uint8_t button, bool isDown)
{
    switch (button) {
    case 1:
        return isDown ? LeftButtonDown : LeftButtonUp;
    case 2:
        return isDown ? MiddleButtonDown : MiddleButtonUp;
    case 3:
        return isDown ? RightButtonDown : RightButtonUp;
    case 4:
    case 5:
        return isDown ? MouseWheel : 0;
    case 6:
    case 7:
        return isDown ? MouseHorizontalWheel : 0;
    default:
        return button == 0 ? 0 : (isDown ? ExtraButtonDown : ExtraButtonUp);
    }
}

} // namespace

ScanCode scanCodeForLinuxKey(uint16_t linuxCode)
{
    // Escape (1) to keypad decimal (83): the code is the scan code, as the
    // kernel numbered them after the PC keyboard.
    if (linuxCode >= 1 && linuxCode <= 83) {
        const bool extended = linuxCode == kKeyNumLock || linuxCode == kKeyRightShift;
        return {uint8_t(linuxCode), extended};
    }
    if (linuxCode >= 86 && linuxCode <= 88) // the extra key, F11, F12
        return {uint8_t(linuxCode), false};
    for (const Extended &key : kExtendedKeys) {
        if (key.linuxCode == linuxCode)
            return key.scan;
    }
    return {0, false};
}

XEventTranslator::XEventTranslator(KeySink keySink, MouseSink mouseSink, uint16_t altMask)
    : m_keySink(keySink), m_mouseSink(mouseSink), m_altMask(altMask)
{}

void XEventTranslator::feed(const XDeviceEvent &event)
{
    if (m_pending) {
        const bool repeat = event.type == kXKeyPress && event.detail == m_pendingRelease.detail &&
                            event.time == m_pendingRelease.time;
        m_pending = false;
        if (!repeat)
            emitKey(m_pendingRelease);
    }
    switch (event.type) {
    case kXKeyPress:
        emitKey(event);
        break;
    case kXKeyRelease:
        m_pendingRelease = event;
        m_pending = true;
        break;
    case kXButtonPress:
    case kXButtonRelease:
        emitButton(event);
        break;
    default:
        break;
    }
}

void XEventTranslator::flush()
{
    if (m_pending) {
        m_pending = false;
        emitKey(m_pendingRelease);
    }
}

void XEventTranslator::emitKey(const XDeviceEvent &event)
{
    if (event.detail < kXKeycodeOffset)
        return;
    const uint16_t linuxCode = event.detail - kXKeycodeOffset;
    const bool altDown = (event.state & m_altMask) != 0;
    ScanCode scan = scanCodeForLinuxKey(linuxCode);
    if (linuxCode == kKeySysRq && altDown)
        scan = {0x54, false};
    else if (linuxCode == kKeyPause && (event.state & kXControlMask))
        scan = {0x46, true};
    if (scan.code == 0 || !m_keySink)
        return;

    const bool isDown = event.type == kXKeyPress;
    const uint32_t message = altDown ? (isDown ? SystemKeyDown : SystemKeyUp) : (isDown ? KeyDown : KeyUp);
    uint32_t flags = 0;
    if (scan.extended)
        flags |= kExtendedFlag;
    if (altDown)
        flags |= kAltDownFlag;
    m_keySink(message, KeyEventRecord{scan.code, flags});
}

void XEventTranslator::emitButton(const XDeviceEvent &event)
{
    const uint32_t message = buttonMessage(event.detail, event.type == kXButtonPress);
    if (message != 0 && m_mouseSink)
        m_mouseSink(message, MouseEventRecord{event.rootX, event.rootY});
}

} // namespace input
