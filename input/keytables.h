// The translation from a key's set-1 scan code to the USB HID usage
// (Keyboard/Keypad page 0x07) that the keyboard itself reports, by way of the
// Windows virtual-key codes in between, and the mouse messages that capture
// reports. No Qt, no X: the tables are plain data.
//
// Lookup key of ScanToVirtualKey: the scan code in bits 15..8 and the
// extended flag (the E0 prefix) in bit 0; every other bit is 0.
//
// Virtual key 0x0E is our own code for keypad Enter (Windows leaves it
// unassigned), so that keypad Enter and main Enter get different usages.
#pragma once

#include <array>
#include <cstdint>

namespace input {

constexpr uint16_t scanKey(uint8_t scanCode, bool extended)
{
    return uint16_t(scanCode << 8 | (extended ? 1 : 0));
}

// Scan-code key -> virtual key. A missing key gives 0.
class ScanToVirtualKey
{
public:
    void clear();
    void insert(uint16_t key, uint8_t virtualKey);
    uint8_t value(uint16_t key) const;
    int size() const { return m_size; }

private:
    // Indexed by scan code * 2 + extended flag: every key the procedure can
    // form, so a lookup is one load and never allocates.
    std::array<uint8_t, 512> m_virtualKey{};
    int m_size = 0;
};

// Virtual key -> usage. A missing entry gives 0.
class VirtualKeyToUsage
{
public:
    void clear();
    void insert(uint8_t virtualKey, uint8_t usage);
    uint8_t value(uint8_t virtualKey) const { return m_usage[virtualKey]; }
    int size() const { return m_size; }

private:
    std::array<uint8_t, 256> m_usage{};
    int m_size = 0;
};

// Number of rows of the key table, hence of entries in each map.
constexpr int kKeyTableRows = 105;

// Empties both maps and fills them with every row of the key table. The key
// at scan code 0x2B (backslash on US keyboards, hash on ISO ones) reports
// usage 0x32 (Non-US # and ~) when `hashTildeLayout` is set, 0x31 otherwise.
void buildTables(bool hashTildeLayout, ScanToVirtualKey &scanToVirtualKey,
                 VirtualKeyToUsage &virtualKeyToUsage);

// The `hashTildeLayout` for the keyboard layout type of the hardware
// definition (0 English, 1 Spanish). The English Q3 is an ANSI keyboard: its
// key at 0x2B is backslash and reports 0x31, as its key table and default
// matrix say; the Spanish one is ISO, whose key there reports 0x32.
bool hashTildeLayoutFor(int kbLayoutType);

// The Windows mouse messages that capture receives, as the low-level mouse
// hook names them.
constexpr uint32_t MouseMove = 0x200;
constexpr uint32_t LeftButtonDown = 0x201;
constexpr uint32_t LeftButtonUp = 0x202;
constexpr uint32_t LeftButtonDoubleClick = 0x203;
constexpr uint32_t RightButtonDown = 0x204;
constexpr uint32_t RightButtonUp = 0x205;
constexpr uint32_t RightButtonDoubleClick = 0x206;
constexpr uint32_t MiddleButtonDown = 0x207;
constexpr uint32_t MiddleButtonUp = 0x208;
constexpr uint32_t MouseWheel = 0x20A;
constexpr uint32_t ExtraButtonDown = 0x20B;
constexpr uint32_t ExtraButtonUp = 0x20C;
constexpr uint32_t MouseHorizontalWheel = 0x20E;

// Button codes in key events, beside the keyboard usages.
constexpr uint8_t kLeftButtonCode = 0xF0;
constexpr uint8_t kRightButtonCode = 0xF1;
constexpr uint8_t kMiddleButtonCode = 0xF2;

struct MouseMessageEntry {
    uint8_t buttonCode; // 0: not reported
    bool isDown;
};

// Indexed by message - LeftButtonDown. Double clicks are not reported: the
// pages want presses and releases only.
constexpr std::array<MouseMessageEntry, 8> kMouseMessageTable = {{
    {kLeftButtonCode, true},
    {kLeftButtonCode, false},
    {0, false},
    {kRightButtonCode, true},
    {kRightButtonCode, false},
    {0, false},
    {kMiddleButtonCode, true},
    {kMiddleButtonCode, false},
}};

} // namespace input
