// The firmware image file "data.bin" as romwriter reads it. Plain C++ with no
// Qt or device code, so the parser can be fuzzed on its own.
//
// File layout (multi-byte numbers big-endian):
//
//   offset 0    120 bytes  header: the magic 55 AA 99 88 77, or a NUL-terminated
//                          title in the local 8-bit encoding (GB18030)
//   offset 120    2 bytes  vendor id of the keyboard in normal mode
//   offset 122    2 bytes  product id of the keyboard in normal mode
//   offset 124    3 bytes  image length L
//   offset 127    2 bytes  expected image checksum
//   offset 129    1 byte   scramble byte A
//   offset 130    1 byte   scramble byte B
//   offset 131    L bytes  the scrambled image; anything after it is ignored
//
// AA 55 CC 33 DD in place of the ids marks a file that carries no image.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace romwriter {
namespace imagefile {

constexpr std::size_t kHeaderSize = 120;
// Everything after the header must fit this; a longer file is refused.
constexpr std::size_t kBodyCapacity = 147456;
constexpr std::size_t kMaxFileSize = kHeaderSize + kBodyCapacity;
// Ids, length, checksum and the two scramble bytes in front of the image.
constexpr std::size_t kImageHeaderSize = 11;

constexpr std::array<uint8_t, 5> kMagic = {0x55, 0xAA, 0x99, 0x88, 0x77};
constexpr std::array<uint8_t, 5> kNoImageMarker = {0xAA, 0x55, 0xCC, 0x33, 0xDD};

enum class Verdict {
    Usable,        // ids, length, checksum and the descrambled image are filled in
    TooLong,       // more than kMaxFileSize bytes: nothing else was looked at
    NoImage,       // the marker file: title only
    NoImageHeader, // the file ends inside the 11 bytes after the header: title only
    ImageCut,      // L runs past the end of the file: title and ids only
};

struct Contents {
    Verdict verdict = Verdict::TooLong;
    // Title: "magic" or the header's text up to its first NUL (at most
    // kHeaderSize bytes, undecoded). Valid for every verdict but TooLong.
    bool magicHeader = false;
    std::string title;
    // Valid for Usable and ImageCut.
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    // Valid for Usable.
    uint32_t length = 0;
    uint16_t checksum = 0;
    uint8_t scrambleA = 0;
    uint8_t scrambleB = 0;
    std::vector<uint8_t> image; // length bytes, descrambled
};

// Parses a whole file of `size` bytes. Reads nothing outside data[0..size).
// Pass up to kMaxFileSize + 1 bytes: one byte more than allowed is enough to
// tell that a file is too long.
Contents parse(const uint8_t *data, std::size_t size);

// Undoes the scrambling in place: with M = (A & 0xAA) | (B & 0x55), byte i is
// XORed with A, B, M, ~M for i mod 4 = 0, 1, 2, 3. Its own inverse.
void descramble(uint8_t *image, std::size_t length, uint8_t a, uint8_t b);

} // namespace imagefile
} // namespace romwriter
