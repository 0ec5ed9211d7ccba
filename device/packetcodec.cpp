#include "packetcodec.h"

#include <utility>

namespace packet {

Packet make(uint8_t code, uint8_t p1, uint8_t p2, uint8_t p3, uint8_t p4)
{
    return Packet{code, p1, p2, p3, p4, kMarker1, kMarker2, 0x00};
}

Packet makeBootLoader()
{
    Packet p{};
    p[0] = kBootLoaderCommand;
    for (std::size_t i = 0; i < kBootLoaderEntryCode.size(); ++i)
        p[i + 1] = kBootLoaderEntryCode[i];
    return p;
}

uint8_t checksum(const uint8_t *cmd)
{
    unsigned sum = 0;
    for (int i = 0; i < 7; ++i)
        sum += cmd[i];
    return static_cast<uint8_t>(~sum);
}

namespace {

uint8_t swapNibbles(uint8_t b)
{
    return static_cast<uint8_t>((b << 4) | (b >> 4));
}

// The pair exchange is its own inverse: b0..b7 -> b5 b4 b7 b6 b1 b0 b3 b2.
void exchangePairs(uint8_t *p)
{
    std::swap(p[0], p[5]);
    std::swap(p[1], p[4]);
    std::swap(p[2], p[7]);
    std::swap(p[3], p[6]);
}

void mixCode(uint8_t *p, const uint8_t *code)
{
    for (int i = 1; i <= 6; ++i)
        p[i] ^= code[i];
}

} // namespace

void scramble(uint8_t *p, const uint8_t *code)
{
    exchangePairs(p);
    mixCode(p, code);

    // Rotate the 64-bit big-endian value left by 3 bits.
    const uint8_t first = p[0];
    for (int i = 0; i < 7; ++i)
        p[i] = static_cast<uint8_t>((p[i] << 3) | (p[i + 1] >> 5));
    p[7] = static_cast<uint8_t>((p[7] << 3) | (first >> 5));

    for (std::size_t i = 0; i < kPacketSize; ++i)
        p[i] = static_cast<uint8_t>(p[i] + swapNibbles(kScrambleKey[i]));
}

void unscramble(uint8_t *p, const uint8_t *code)
{
    for (std::size_t i = 0; i < kPacketSize; ++i)
        p[i] = static_cast<uint8_t>(p[i] - swapNibbles(kScrambleKey[i]));

    const uint8_t last = p[7];
    for (int i = 7; i >= 1; --i)
        p[i] = static_cast<uint8_t>((p[i] >> 3) | (p[i - 1] << 5));
    p[0] = static_cast<uint8_t>((p[0] >> 3) | (last << 5));

    mixCode(p, code);
    exchangePairs(p);
}

} // namespace packet
