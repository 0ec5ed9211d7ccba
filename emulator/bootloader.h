// The keyboard's boot loader: its flash, program buffer, lock and session,
// and how it answers the reports of isp/PROTOCOL.md. No timing, locking or
// USB plumbing here; KeyboardModel feeds it output reports and queues its
// answers as input reports.
#pragma once

#include "q3emu.h"

#include "bootwire.h"
#include "packetcodec.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace q3emu::detail {

class BootLoaderFirmware
{
public:
    struct Reply {
        std::optional<ispwire::Report> answer; // to be sent as an input report
        bool leave = false;                    // start the user program once the answer is out
    };

    static constexpr uint16_t kLoaderVersion = 0x0100;
    static constexpr uint16_t kFactoryFirmwareVersion = 0x0201;

    BootLoaderFirmware();

    // Feature reports have no meaning to the boot loader: they come back as sent.
    packet::Packet command(const packet::Packet &wire) { return wire; }
    // One output report, report id removed.
    Reply output(const uint8_t *data, std::size_t length);
    // A reset of the chip: the session and the program buffer are gone; the
    // flash, the lock and the start mode stay.
    void restart();
    // Default geometry with the factory image; no faults.
    void factoryReset();
    void setGeometry(const FlashGeometry &geometry);

    void failStep(BootLoaderStep step, int count);
    void garble(int count);
    void clearFaults();

    BootLoaderState state() const;
    // The version block of the flash, if intact.
    std::optional<uint16_t> flashVersion() const;
    void countSwitch() { ++switches_; }

private:
    ispwire::Frame handle(const ispwire::Frame &request);
    bool injected(BootLoaderStep step);
    // Whole pages [first, first + count) inside the flash that exists.
    bool pagesExist(uint32_t first, uint32_t count) const;

    FlashGeometry geometry_;
    std::vector<uint8_t> flash_;
    std::vector<uint8_t> buffer_;
    bool locked_ = false;
    bool session_ = false;
    int startMode_ = 2;
    int switches_ = 0;
    std::array<int, 7> stepFaults_{};
    int garbled_ = 0;
};

} // namespace q3emu::detail
