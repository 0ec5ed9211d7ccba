// Global keyboard and mouse capture: every key and mouse button event of the
// desktop, wherever the pointer or the focus is, turned into the USB usage
// the keyboard itself would report (or a button code) and handed to a
// handler. Capture only observes; it never takes an event away from anyone.
//
// Two layers:
//  - the hook procedures below, which take plain event records in the form
//    the tables were written for (set-1 scan code with the extended and
//    Alt-down flags; mouse message with screen position) and hold the
//    tables, the key-down array and the handlers. They know nothing of X.
//  - the X11 source that install() starts: the X server's RECORD extension,
//    read on the thread that called install(), turning each X device event
//    into such a record (see xeventtranslator.h).
//
// Everything here is process-wide and belongs to the GUI thread: install,
// uninstall, the handler setters and the procedures are called there only,
// and the handlers are called there, from within the event loop.
#pragma once

#include <cstdint>

namespace input {

// The event record of a key event.
struct KeyEventRecord {
    uint32_t scanCode; // set 1; above 0xFF counts as 0
    uint32_t flags;    // kExtendedFlag, kAltDownFlag
};
constexpr uint32_t kExtendedFlag = 0x01;
constexpr uint32_t kAltDownFlag = 0x20;

// The event record of a mouse event: screen coordinates, which may be
// negative.
struct MouseEventRecord {
    int32_t x;
    int32_t y;
};

// Hook codes: only kHookAction carries a real event.
constexpr int kHookAction = 0;

constexpr uint32_t KeyDown = 0x100;
constexpr uint32_t KeyUp = 0x101;
constexpr uint32_t SystemKeyDown = 0x104; // a key pressed while Alt is down
constexpr uint32_t SystemKeyUp = 0x105;

// A press for KeyDown and SystemKeyDown under kHookAction, a release for
// anything else. The usage follows from the scan code and extended flag
// alone (Ctrl+Break, scan 0x46 extended, counts as Pause; scan 0x54 with Alt
// down, Alt+Print Screen, as Print Screen); the keyboard handler is called
// only when the usage is known and differs in state from what was last
// reported for it, so a held key is one press and one release, and the
// release of a key held since before install() is not reported.
void keyboardProc(int code, uint32_t message, const KeyEventRecord &event);

// Reports the presses and releases of the left, right and middle buttons
// (see kMouseMessageTable); every other message is ignored. Holds no state.
void mouseProc(int code, uint32_t message, const MouseEventRecord &event);

} // namespace input

class InputHooks
{
public:
    // Called with (usage, isDown, context).
    using KeyboardHandler = void (*)(uint8_t usage, bool isDown, void *context);
    // Called with (buttonCode, isDown, x, y, context): button code 0xF0
    // left, 0xF1 right, 0xF2 middle; x and y are root-window coordinates.
    using MouseHandler = void (*)(uint8_t buttonCode, bool isDown, int32_t x, int32_t y, void *context);

    InputHooks() = default;
    // Uninstalls when this object made the capture that is installed.
    ~InputHooks();
    InputHooks(const InputHooks &) = delete;
    InputHooks &operator=(const InputHooks &) = delete;

    // Stores the layout flag, rebuilds both tables from it, removes any
    // capture installed before and starts capture on the X display named by
    // DISPLAY. Returns false, with nothing installed, when there is no
    // display or it lacks the RECORD extension; the tables are built either
    // way. Needs an event loop on the calling thread to deliver anything.
    bool install(bool hashTildeLayout);
    // Stops capture. Harmless when nothing is installed. The key-down array
    // stays as it is, across uninstall and install alike.
    void uninstall();

    static bool isInstalled();
    bool hashTildeLayout() const { return m_hashTildeLayout; }

    // May be called before or after install(); a null handler drops the
    // events of its kind.
    static void setKeyboardHandler(KeyboardHandler handler, void *context);
    static void setMouseHandler(MouseHandler handler, void *context);

private:
    bool m_hashTildeLayout = false;
};
