// What the capture handlers were called with, in order, as text:
// "key 04 down", "button F0 up 10,-20".
#pragma once

#include "inputhooks.h"

#include <QString>
#include <QStringList>

#include <cstdint>

inline QString keyEvent(uint8_t usage, bool isDown)
{
    return QString::asprintf("key %02X %s", usage, isDown ? "down" : "up");
}

inline QString buttonEvent(uint8_t code, bool isDown, int32_t x, int32_t y)
{
    return QString::asprintf("button %02X %s %d,%d", code, isDown ? "down" : "up", x, y);
}

// Press and release of `usage`.
inline QStringList tap(uint8_t usage)
{
    return {keyEvent(usage, true), keyEvent(usage, false)};
}

// Handlers that append to the QStringList given as context.
inline void logKey(uint8_t usage, bool isDown, void *log)
{
    static_cast<QStringList *>(log)->append(keyEvent(usage, isDown));
}

inline void logButton(uint8_t code, bool isDown, int32_t x, int32_t y, void *log)
{
    static_cast<QStringList *>(log)->append(buttonEvent(code, isDown, x, y));
}
