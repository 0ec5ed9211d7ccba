// The boot loader's reports, as isp/PROTOCOL.md describes them. Shared by
// libISPDLL and the emulated boot loader so that both read the same layout.
//
// Every report is 64 bytes, in both directions (output reports carry the
// report id 0x00 in front on the host side):
//
//   byte 0      command code (answers: the code they answer)
//   byte 1      sequence number, chosen by the host, echoed in the answer
//   bytes 2-3   A, little-endian: first argument (answers: status)
//   bytes 4-5   B, little-endian: second argument (answers: a result value)
//   byte 6      number of data bytes in 8..63, at most 56
//   byte 7      check byte: all 64 bytes add up to 0xA5 modulo 256
//   bytes 8-63  data, zero after the counted bytes
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace ispwire {

constexpr std::size_t kReportBytes = 64;
constexpr std::size_t kMaxData = 56;
constexpr uint8_t kCheckTotal = 0xA5;
constexpr uint16_t kConnectKey = 0x3351; // "Q3" as bytes 2-3 read 51 33
constexpr uint8_t kProtocolVersion = 1;

using Report = std::array<uint8_t, kReportBytes>;

enum Command : uint8_t {
    Connect = 0x01,    // A key 0x3351 -> data: the boot loader's description (ConnectData)
    ErasePage = 0x02,  // A page
    BlankCheck = 0x03, // A first page, B page count -> NotBlank: data 0-3 first address that is not 0xFF
    LoadBuffer = 0x04, // A offset in the program buffer, data the bytes; never answered
    Program = 0x05,    // A flash address, B length, data 0-1 CRC-16 of buffer bytes 0..length-1
    VerifyPage = 0x06, // A page, B bytes from the page start (0: whole page) -> B CRC-16 of them
    SetStart = 0x07,   // A start mode 1 or 2
    Lock = 0x08,
    Run = 0x09, // -> B 1 when the boot loader now leaves for the user program, 0 when it stays
    Disconnect = 0x0A,
};

enum Status : uint8_t {
    Ok = 0x00,
    UnknownCommand = 0x01,
    BadCheck = 0x02,    // the request's check byte or count was wrong
    NoSession = 0x03,   // Connect first
    BadArgument = 0x04, // page, address or length out of range, wrong key or mode
    Locked = 0x05,      // the flash is locked: erase a page first
    NotBlank = 0x06,
    ProgramFailed = 0x07,  // the flash did not take the bytes (it was not erased)
    BufferMismatch = 0x08, // the program buffer's CRC differs from the one sent
    Failed = 0x09,         // the flash operation failed inside the device
};

// Data of the Connect answer, little-endian.
struct ConnectData {
    uint16_t pageSize;      // bytes 0-1
    uint16_t pageCount;     // bytes 2-3
    uint16_t blockSize;     // bytes 4-5: the most bytes one Program takes
    uint8_t protocol;       // byte 6
    uint8_t locked;         // byte 7
    uint8_t startMode;      // byte 8
    uint16_t loaderVersion; // bytes 9-10
};
constexpr std::size_t kConnectDataBytes = 11;

struct Frame {
    uint8_t code = 0;
    uint8_t seq = 0;
    uint16_t a = 0;
    uint16_t b = 0;
    uint8_t count = 0;
    std::array<uint8_t, kMaxData> data{};
};

// Fills in the check byte; a count above 56 is cut to 56.
Report encode(const Frame &frame);
// Nothing when the check byte does not add up or the count exceeds 56.
std::optional<Frame> decode(const uint8_t *report, std::size_t length);

void put16(uint8_t *at, uint16_t value);
uint16_t get16(const uint8_t *at);
void put32(uint8_t *at, uint32_t value);
uint32_t get32(const uint8_t *at);

void putConnectData(Frame &answer, const ConnectData &d);
std::optional<ConnectData> connectData(const Frame &answer);

} // namespace ispwire
