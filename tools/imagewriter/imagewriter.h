// Firmware files as romwriter reads them ("data.bin"), made from a raw image.
//
// Layout, multi-byte numbers big-endian:
//   0    120 bytes  header: the magic 55 AA 99 88 77, or a NUL-terminated
//                   title in GB18030; the rest zero
//   120  2          vendor id of the keyboard in normal mode
//   122  2          product id
//   124  3          image length L
//   127  2          checksum: sum of the raw image's bytes modulo 65536
//   129  1          scramble byte A
//   130  1          scramble byte B
//   131  L          the image, scrambled: byte i XOR A, B, M, ~M for i mod 4 =
//                   0, 1, 2, 3, with M = (A & 0xAA) | (B & 0x55)
// A file without an image carries the marker AA 55 CC 33 DD right after the
// header instead of the fields.
#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

namespace imagewriter {

constexpr int kHeaderBytes = 120;
constexpr int kImageOffset = 131;
// The most that romwriter reads after the header.
constexpr int kMaxBodyBytes = 147456;
constexpr std::array<uint8_t, 5> kMagic = {0x55, 0xAA, 0x99, 0x88, 0x77};
constexpr std::array<uint8_t, 5> kNoImageMarker = {0xAA, 0x55, 0xCC, 0x33, 0xDD};
constexpr uint16_t kDefaultVendorId = 0x04D9;
constexpr uint16_t kDefaultProductId = 0xA1CD;
constexpr int kDemoImageBytes = 32768;

struct Options {
    // Empty: the magic header. Otherwise these bytes followed by a NUL; a
    // title of 120 bytes or more fills the header and has no NUL.
    QByteArray title;
    uint16_t vendorId = kDefaultVendorId;
    uint16_t productId = kDefaultProductId;
    uint8_t scrambleA = 0x5A;
    uint8_t scrambleB = 0xC3;
    std::optional<uint16_t> checksum; // written instead of the image's own
    std::optional<uint32_t> length;   // written instead of the image's length (low 24 bits)
    int trailingBytes = 0;            // 0xEE bytes appended after the image
    int truncateTo = -1;              // the file is cut to this many bytes, after the trailing bytes
};

// The 120-byte header alone.
QByteArray header(const Options &options);
// A complete file carrying `image`.
QByteArray dataFile(const QByteArray &image, const Options &options = {});
// A file marked as carrying no image; the title options apply, and
// trailingBytes / truncateTo too.
QByteArray noImageFile(const Options &options = {});

// XORs the image with A, B, M, ~M in turn. The same call scrambles and
// descrambles.
void scramble(QByteArray &image, uint8_t a, uint8_t b);

// A raw image standing in for keyboard firmware: deterministic filler with
// the version block carrying `version` and a readable name at 0x110. Sizes
// below 0x120 bytes are raised to 0x120.
QByteArray demoImage(uint16_t version, int size = kDemoImageBytes);

// Header text as romwriter decodes it: GB18030.
QByteArray encodeTitle(const QString &text);

} // namespace imagewriter
