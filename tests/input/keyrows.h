// Every key the capture reports: its name, the Linux input code of the key
// (X keycode - 8), the set-1 scan code with the extended flag, and the usage
// it must report. Key 0x2B is listed with the usage for hashTildeLayout off.
#pragma once

#include <cstdint>

struct KeyRow {
    const char *name;
    uint16_t linuxCode;
    uint8_t scanCode;
    bool extended;
    uint8_t usage;
};

// clang-format off
inline constexpr KeyRow kKeyRows[] = {
    {"A", 30, 0x1E, false, 0x04}, {"B", 48, 0x30, false, 0x05}, {"C", 46, 0x2E, false, 0x06},
    {"D", 32, 0x20, false, 0x07}, {"E", 18, 0x12, false, 0x08}, {"F", 33, 0x21, false, 0x09},
    {"G", 34, 0x22, false, 0x0A}, {"H", 35, 0x23, false, 0x0B}, {"I", 23, 0x17, false, 0x0C},
    {"J", 36, 0x24, false, 0x0D}, {"K", 37, 0x25, false, 0x0E}, {"L", 38, 0x26, false, 0x0F},
    {"M", 50, 0x32, false, 0x10}, {"N", 49, 0x31, false, 0x11}, {"O", 24, 0x18, false, 0x12},
    {"P", 25, 0x19, false, 0x13}, {"Q", 16, 0x10, false, 0x14}, {"R", 19, 0x13, false, 0x15},
    {"S", 31, 0x1F, false, 0x16}, {"T", 20, 0x14, false, 0x17}, {"U", 22, 0x16, false, 0x18},
    {"V", 47, 0x2F, false, 0x19}, {"W", 17, 0x11, false, 0x1A}, {"X", 45, 0x2D, false, 0x1B},
    {"Y", 21, 0x15, false, 0x1C}, {"Z", 44, 0x2C, false, 0x1D},
    {"1", 2, 0x02, false, 0x1E}, {"2", 3, 0x03, false, 0x1F}, {"3", 4, 0x04, false, 0x20},
    {"4", 5, 0x05, false, 0x21}, {"5", 6, 0x06, false, 0x22}, {"6", 7, 0x07, false, 0x23},
    {"7", 8, 0x08, false, 0x24}, {"8", 9, 0x09, false, 0x25}, {"9", 10, 0x0A, false, 0x26},
    {"0", 11, 0x0B, false, 0x27},
    {"Enter", 28, 0x1C, false, 0x28}, {"Escape", 1, 0x01, false, 0x29}, {"Backspace", 14, 0x0E, false, 0x2A},
    {"Tab", 15, 0x0F, false, 0x2B}, {"Space", 57, 0x39, false, 0x2C},
    {"minus", 12, 0x0C, false, 0x2D}, {"equals", 13, 0x0D, false, 0x2E},
    {"left bracket", 26, 0x1A, false, 0x2F}, {"right bracket", 27, 0x1B, false, 0x30},
    {"backslash", 43, 0x2B, false, 0x31},
    {"semicolon", 39, 0x27, false, 0x33}, {"apostrophe", 40, 0x28, false, 0x34},
    {"grave", 41, 0x29, false, 0x35}, {"comma", 51, 0x33, false, 0x36},
    {"period", 52, 0x34, false, 0x37}, {"slash", 53, 0x35, false, 0x38},
    {"Caps Lock", 58, 0x3A, false, 0x39},
    {"F1", 59, 0x3B, false, 0x3A}, {"F2", 60, 0x3C, false, 0x3B}, {"F3", 61, 0x3D, false, 0x3C},
    {"F4", 62, 0x3E, false, 0x3D}, {"F5", 63, 0x3F, false, 0x3E}, {"F6", 64, 0x40, false, 0x3F},
    {"F7", 65, 0x41, false, 0x40}, {"F8", 66, 0x42, false, 0x41}, {"F9", 67, 0x43, false, 0x42},
    {"F10", 68, 0x44, false, 0x43}, {"F11", 87, 0x57, false, 0x44}, {"F12", 88, 0x58, false, 0x45},
    {"Print Screen", 99, 0x37, true, 0x46}, {"Scroll Lock", 70, 0x46, false, 0x47},
    {"Pause", 119, 0x45, false, 0x48},
    {"Insert", 110, 0x52, true, 0x49}, {"Home", 102, 0x47, true, 0x4A}, {"Page Up", 104, 0x49, true, 0x4B},
    {"Delete", 111, 0x53, true, 0x4C}, {"End", 107, 0x4F, true, 0x4D}, {"Page Down", 109, 0x51, true, 0x4E},
    {"Right", 106, 0x4D, true, 0x4F}, {"Left", 105, 0x4B, true, 0x50}, {"Down", 108, 0x50, true, 0x51},
    {"Up", 103, 0x48, true, 0x52},
    {"Num Lock", 69, 0x45, true, 0x53}, {"keypad divide", 98, 0x35, true, 0x54},
    {"keypad multiply", 55, 0x37, false, 0x55}, {"keypad minus", 74, 0x4A, false, 0x56},
    {"keypad plus", 78, 0x4E, false, 0x57}, {"keypad Enter", 96, 0x1C, true, 0x58},
    {"keypad 1", 79, 0x4F, false, 0x59}, {"keypad 2", 80, 0x50, false, 0x5A}, {"keypad 3", 81, 0x51, false, 0x5B},
    {"keypad 4", 75, 0x4B, false, 0x5C}, {"keypad 5", 76, 0x4C, false, 0x5D}, {"keypad 6", 77, 0x4D, false, 0x5E},
    {"keypad 7", 71, 0x47, false, 0x5F}, {"keypad 8", 72, 0x48, false, 0x60}, {"keypad 9", 73, 0x49, false, 0x61},
    {"keypad 0", 82, 0x52, false, 0x62}, {"keypad decimal", 83, 0x53, false, 0x63},
    {"extra key beside left Shift", 86, 0x56, false, 0x64}, {"Application", 127, 0x5D, true, 0x65},
    {"F23", 193, 0x6E, false, 0x72},
    {"left Ctrl", 29, 0x1D, false, 0xE0}, {"left Shift", 42, 0x2A, false, 0xE1},
    {"left Alt", 56, 0x38, false, 0xE2}, {"left Windows", 125, 0x5B, true, 0xE3},
    {"right Ctrl", 97, 0x1D, true, 0xE4}, {"right Shift", 54, 0x36, true, 0xE5},
    {"right Alt", 100, 0x38, true, 0xE6},
};
// clang-format on

static_assert(sizeof(kKeyRows) / sizeof(kKeyRows[0]) == 105);
