// Timing of libISPDLL against the emulated boot loader at its default
// full-speed timing (about 1 ms per report). Prints figures, asserts nothing.
//
// Per call: the time taken (median and worst of the pages of one pass) and
// the reports it moves, so that the library's own overhead shows beside the
// wire time; then a whole flash programmed and verified, against the time
// its bytes alone need at 64 bytes per 1 ms frame.
#include "imagewriter.h"
#include "ispdll.h"
#include "q3emu.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kPages = 128;
constexpr int kPageSize = 512;

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Calls `call` for every page; returns the total in ms.
double perPage(const char *name, int reportsPerCall, const std::function<int(int)> &call)
{
    std::vector<double> ms;
    const Clock::time_point all = Clock::now();
    for (int p = 0; p < kPages; ++p) {
        const Clock::time_point start = Clock::now();
        if (call(p) != 0) {
            std::printf("%-22s failed at page %d\n", name, p);
            return 0;
        }
        ms.push_back(msSince(start));
    }
    const double total = msSince(all);
    std::sort(ms.begin(), ms.end());
    std::printf("%-22s median %6.2f ms  worst %6.2f ms  reports %2d  (%d pages: %7.1f ms)\n", name,
                ms[ms.size() / 2], ms.back(), reportsPerCall, kPages, total);
    return total;
}

} // namespace

int main()
{
    q3emu::reset(q3emu::Scenario::NoKeyboard);
    q3emu::plug(q3emu::Interface::BootLoader);
    QByteArray demo = imagewriter::demoImage(0x0203, kPages * kPageSize);
    std::vector<uint8_t> image(demo.begin(), demo.end());
    LoadProgdata(image.data(), unsigned(image.size()), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);

    Clock::time_point start = Clock::now();
    if (ConnectToBootloader() != 0) {
        std::printf("no boot loader\n");
        return 1;
    }
    std::printf("ConnectToBootloader   %6.2f ms  reports 2\n", msSince(start));

    const double erase =
        perPage("EraseByPage(p, 1, 0)", 4, [](int p) { return EraseByPage(uint16_t(p), 1, 0); });
    start = Clock::now();
    BlankCheck(0);
    std::printf("BlankCheck(0)         %6.2f ms  reports 2\n", msSince(start));
    const double program = perPage("PartialProgram", 12, [](int p) {
        return PartialProgram(uint16_t(p * kPageSize), uint16_t(kPageSize));
    });
    const double verify =
        perPage("VerifyByPage(p, 1, 0)", 2, [](int p) { return VerifyByPage(uint16_t(p), 1, 0); });
    DisConnectBootloader();

    const double wire = kPages * kPageSize / 64.0; // 64 bytes per 1 ms frame
    const double total = erase + program + verify;
    std::printf("\n64 KiB erased, programmed and verified: %.0f ms; its bytes alone at 64 B/ms: %.0f ms; "
                "ratio %.2f\n",
                total, wire, total / wire);
    std::printf("programming alone: %.0f ms, ratio %.2f\n", program, program / wire);
    return 0;
}
