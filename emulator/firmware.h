// The keyboard's firmware: how it interprets command packets and data-phase
// reports against its stored state. No timing, locking or USB plumbing here;
// KeyboardModel feeds it what crossed the wire and carries its replies back.
#pragma once

#include "q3emu.h"

#include "packetcodec.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace q3emu::detail {

// Data bytes of one data-phase report on the command interface.
constexpr std::size_t kDataReportBytes = 64;
constexpr std::size_t kEventReportBytes = 12;

class NormalFirmware
{
public:
    struct Reply {
        packet::Packet answer{};          // what the next feature read returns
        std::vector<uint8_t> dataPhase;   // to be sent as input reports
        bool bootLoaderConfirmed = false; // this answer is the 8FH acceptance
    };

    explicit NormalFirmware(KeyboardState &state);

    void setScrambling(bool on) { scrambling_ = on; }
    bool scrambling() const { return scrambling_; }

    // `wire` is the packet as it arrived (scrambled when scrambling is on).
    Reply command(const packet::Packet &wire);
    // Bytes of one output report, report id removed.
    void output(const uint8_t *data, std::size_t length);
    // Forget a half-received data phase and a pending boot-loader entry.
    void restart();

    // Key presses at the keyboard; each returns the event report to send,
    // empty when the press changes nothing.
    std::vector<uint8_t> pressProfileKey(int profile);
    std::vector<uint8_t> pressLightingKeys(uint8_t effect, uint8_t brightness, uint8_t speed);

private:
    struct DataPhaseWrite {
        packet::Packet command;
        std::size_t expected;
        std::vector<uint8_t> received;
    };

    ProfileState &activeProfile();
    std::vector<uint8_t> readBlock(const packet::Packet &p);
    void store(const DataPhaseWrite &w);
    std::vector<uint8_t> eventReport();

    KeyboardState &s_;
    bool scrambling_ = false;
    bool bootLoaderPending_ = false;
    std::optional<DataPhaseWrite> dataPhase_;
};

} // namespace q3emu::detail
