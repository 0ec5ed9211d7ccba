#include "xinject.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <cstdio>

namespace guitest::xinject {

namespace {

Display *g_display = nullptr;
bool g_tried = false;

Display *display()
{
    if (!g_tried) {
        g_tried = true;
        g_display = XOpenDisplay(nullptr);
        int event, error, major, minor;
        if (g_display && !XTestQueryExtension(g_display, &event, &error, &major, &minor)) {
            std::fprintf(stderr, "guitest: the X server has no XTEST\n");
            XCloseDisplay(g_display);
            g_display = nullptr;
        }
    }
    return g_display;
}

} // namespace

bool available()
{
    return display() != nullptr;
}

void close()
{
    if (g_display)
        XCloseDisplay(g_display);
    g_display = nullptr;
    g_tried = false;
}

void moveTo(int x, int y)
{
    if (Display *d = display()) {
        XTestFakeMotionEvent(d, -1, x, y, CurrentTime);
        XSync(d, False);
    }
}

void button(int button, bool down)
{
    if (Display *d = display()) {
        XTestFakeButtonEvent(d, unsigned(button), down ? True : False, CurrentTime);
        XSync(d, False);
    }
}

bool key(unsigned long keysym, bool shift)
{
    Display *d = display();
    if (!d)
        return false;
    const KeyCode code = XKeysymToKeycode(d, keysym);
    const KeyCode shiftCode = XKeysymToKeycode(d, XK_Shift_L);
    if (code == 0 || (shift && shiftCode == 0))
        return false;
    if (shift)
        XTestFakeKeyEvent(d, shiftCode, True, CurrentTime);
    XTestFakeKeyEvent(d, code, True, CurrentTime);
    XTestFakeKeyEvent(d, code, False, CurrentTime);
    if (shift)
        XTestFakeKeyEvent(d, shiftCode, False, CurrentTime);
    XSync(d, False);
    return true;
}

unsigned long keysymFor(char c, bool &shift)
{
    shift = false;
    switch (c) {
    case '\n':
        return XK_Return;
    case '\t':
        return XK_Tab;
    case '\b':
        return XK_BackSpace;
    default:
        break;
    }
    if (c < 0x20 || c >= 0x7F)
        return 0;
    // Printable ASCII keysyms are the characters themselves; one on the
    // shifted level of its key needs Shift.
    const unsigned long keysym = static_cast<unsigned char>(c);
    if (Display *d = display()) {
        const KeyCode code = XKeysymToKeycode(d, keysym);
        if (code == 0)
            return 0;
        shift = XkbKeycodeToKeysym(d, code, 0, 0) != keysym;
    }
    return keysym;
}

} // namespace guitest::xinject
