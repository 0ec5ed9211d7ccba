// Real input through the X server's XTEST extension, on a connection of its
// own to DISPLAY. Kept apart from Qt code, whose event names X's macros
// would clobber.
#pragma once

namespace guitest::xinject {

// Opens the connection on first use; false without a server or XTEST.
bool available();
void close();

// Each call returns once the server has processed the request.
void moveTo(int x, int y);
void button(int button, bool down);
// `keysym` with Shift held around it when `shift`.
bool key(unsigned long keysym, bool shift);

// The keysym that types printable ASCII `c`, Return, Tab or BackSpace, and
// whether it sits on the shifted level; 0 when it cannot be typed.
unsigned long keysymFor(char c, bool &shift);

} // namespace guitest::xinject
