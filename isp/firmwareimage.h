// What the programming library, the emulated boot loader and the image writer
// agree on about a raw firmware image: its two checksums, the version block
// it may carry and the limits of the flash it goes into. One implementation,
// so the checksum in a data.bin file, GetChksum and the boot loader's view of
// the flash cannot drift apart.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace ispimage {

// 16-bit start addresses reach this much flash and no more.
constexpr std::size_t kMaxFlashBytes = 65536;

// LoadProgdata's format word for the only format the library takes: a plain
// binary image whose byte 0 goes to flash address 0.
constexpr uint16_t kPlainImageFormat = 0x8000;

// The version block: at image offset 0x100, the four bytes "Q3VN", the
// version high byte first (as the keyboard's 80H answer carries it), then the
// same two bytes inverted. An image without an intact block carries no
// version.
constexpr std::size_t kVersionOffset = 0x100;
constexpr std::array<uint8_t, 4> kVersionMagic = {'Q', '3', 'V', 'N'};
constexpr std::size_t kVersionBlockBytes = 8;

// GetChksum(1) and the checksum field of a data.bin file: the sum of all
// image bytes, modulo 65536.
uint16_t sum16(const uint8_t *data, std::size_t n);
// GetChksum(2): CRC-16/CCITT-FALSE (polynomial 0x1021, initial value
// 0xFFFF, no reflection, no final XOR) of the image bytes. Pass the previous
// result as `crc` to continue over a further piece.
uint16_t crc16(const uint8_t *data, std::size_t n, uint16_t crc = 0xFFFF);

// The version carried by the n bytes at `image`, if its block is intact.
std::optional<uint16_t> versionOf(const uint8_t *image, std::size_t n);
// Writes the version block into the image; false when the image is too short
// to hold it (nothing is written then).
bool stampVersion(uint8_t *image, std::size_t n, uint16_t version);

} // namespace ispimage
