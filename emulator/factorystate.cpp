#include "q3emu.h"

#include <cstring>

namespace q3emu {

namespace {

constexpr int kKeyPositions = kMatrixBytes / 2;
constexpr int kMirroredPosition = 61; // carries no key; the keyboard keeps a copy of 45 there
constexpr int kMirrorSource = 45;

bool isFirmwareKey(int position)
{
    // Fn, the profile key and the macro keys: the firmware acts on them itself.
    return position == 89 || (position >= 116 && position <= 119);
}

} // namespace

uint16_t defaultKeyCode(int position)
{
    if (position < 0 || position >= kKeyPositions || isFirmwareKey(position))
        return 0;
    if (position == kMirroredPosition)
        return defaultKeyCode(kMirrorSource);
    return static_cast<uint16_t>(position + 4);
}

KeyboardState factoryState()
{
    // Seven colours of three 6-bit components: red, orange, yellow, green,
    // cyan, blue, violet.
    static const uint8_t rainbow[21] = {63, 0, 0,  63, 32, 0, 63, 63, 0, 0, 63,
                                        0,  0, 63, 63, 0,  0, 63, 32, 0, 63};

    KeyboardState s;
    std::memset(&s, 0, sizeof s);
    for (ProfileState &p : s.profiles) {
        for (int k = 0; k < kKeyPositions; ++k) {
            const uint16_t code = defaultKeyCode(k);
            p.keyMatrix[2 * k] = static_cast<uint8_t>(code & 0xFF);
            p.keyMatrix[2 * k + 1] = static_cast<uint8_t>(code >> 8);
        }
        std::memcpy(p.palette, rainbow, sizeof rainbow);
        // As the default profile the program ships: static colour 5 at full
        // brightness, so a fresh keyboard and a fresh installation agree.
        const uint8_t lighting[6] = {0, 63, 3, 0, 5, 0};
        std::memcpy(p.lighting, lighting, sizeof lighting);
    }
    s.firmwareVersion = 0x0201;
    s.mode = Mode::Normal;
    return s;
}

} // namespace q3emu
