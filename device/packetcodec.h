// The 8-byte command packet of the Q3 keyboard: layout, checksum and the
// optional scrambling. Shared by gearpanel's device link, romwriter and the
// emulated keyboard, so the bytes are defined in exactly one place.
//
// Packet, as carried in bytes 1..8 of a 9-byte feature report (byte 0 is the
// report id 0x00):
//
//   byte 0     command code (< 0x80 writes, >= 0x80 reads: write code + 0x80)
//   bytes 1-4  parameters, 0x00 where a command has fewer
//   byte 5     0x55   (08H: color)
//   byte 6     0xAA   (08H: type_Side)
//   byte 7     0x00   (never a checksum in the packets gearpanel builds)
//
// 0FH replaces bytes 1..7 with the boot loader's entry code.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace packet {

constexpr std::size_t kPacketSize = 8;
constexpr std::size_t kReportSize = kPacketSize + 1; // report id + packet
constexpr uint8_t kReportId = 0x00;
constexpr uint8_t kMarker1 = 0x55;
constexpr uint8_t kMarker2 = 0xAA;

using Packet = std::array<uint8_t, kPacketSize>;

// The seven bytes that follow 0x0F and make the keyboard drop into its boot
// loader. The boot loader answers the status query 8FH with 0xFF in byte 1
// once it has accepted them.
constexpr std::array<uint8_t, 7> kBootLoaderEntryCode = {0x51, 0x33, 0x42, 0x4F, 0x4F, 0x54, 0xA5};
constexpr uint8_t kBootLoaderCommand = 0x0F;
constexpr uint8_t kBootLoaderStatusQuery = 0x8F;

// The scrambling key, "TaVkoMiq", byte 0 first.
constexpr std::array<uint8_t, kPacketSize> kScrambleKey = {'T', 'a', 'V', 'k', 'o', 'M', 'i', 'q'};
// The secrecy code the programs use: eight zero bytes (only bytes 1..6 matter).
constexpr std::array<uint8_t, kPacketSize> kSecrecyCode = {0, 0, 0, 0, 0, 0, 0, 0};

// A packet in the usual layout: code, up to four parameters, 55 AA 00.
Packet make(uint8_t code, uint8_t p1 = 0, uint8_t p2 = 0, uint8_t p3 = 0, uint8_t p4 = 0);
// The boot-loader command: 0F followed by the entry code.
Packet makeBootLoader();

// One's complement of the 8-bit sum of bytes 0..6 of `cmd`.
uint8_t checksum(const uint8_t *cmd);

// Scramble / unscramble the 8 bytes at `p` in place with the 8-byte `code`.
// unscramble(scramble(p)) == p for every p and code.
void scramble(uint8_t *p, const uint8_t *code);
void unscramble(uint8_t *p, const uint8_t *code);

} // namespace packet
