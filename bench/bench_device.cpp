// Timing of the device link against the emulated keyboard at its default
// full-speed timing (about 1 ms per report). Prints figures, asserts nothing.
//
// For each operation: the time taken (median, mean, worst of N runs), the
// pauses the protocol mandates (8 ms after every data-phase output report),
// and the emulated wire time (reports x per-report delay), so that the
// link's own overhead shows as what is left over.
#include "devinfo.h"
#include "hid_thread.h"
#include "q3emu.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <numeric>
#include <vector>

namespace {

constexpr int kRuns = 60;
constexpr double kReportDelayMs = 1.0;

void waitIdle(const Hid_Thread &link)
{
    while (!link.isLinkIdle()) {
        QCoreApplication::processEvents();
        QThread::usleep(100);
    }
}

void report(const char *name, std::vector<double> ms, double mandatedMs, int reports)
{
    std::sort(ms.begin(), ms.end());
    const double median = ms[ms.size() / 2];
    const double mean = std::accumulate(ms.begin(), ms.end(), 0.0) / ms.size();
    const double worst = ms.back();
    const double wire = reports * kReportDelayMs;
    std::printf("%-34s median %7.2f ms  mean %7.2f ms  worst %7.2f ms | mandated pauses %5.1f ms", name,
                median, mean, worst, mandatedMs);
    if (mandatedMs > 0)
        std::printf(" (x%.2f)", median / mandatedMs);
    std::printf(" | pauses + wire %5.1f ms (x%.2f)\n", mandatedMs + wire, median / (mandatedMs + wire));
}

std::vector<double> measure(const std::function<void()> &op)
{
    std::vector<double> ms;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer t;
        t.start();
        op();
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    return ms;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    q3emu::reset(q3emu::Scenario::Keyboard);
    q3emu::setReportDelay(std::chrono::microseconds(static_cast<int>(kReportDelayMs * 1000)));

    Hid_Thread link;
    link.setDeviceList(loadDevInfo(kDevInfoResource, {}).records);
    link.swichCurDevice(0); // the monitor runs beside the commands, as in the program

    uchar half[128] = {};
    for (int i = 0; i < 128; ++i)
        half[i] = static_cast<uchar>(i);

    std::printf("Device link against the emulated keyboard, %d runs each, %.1f ms per report\n", kRuns,
                kReportDelayMs);

    // 0CH + 0DH: two commands, each a feature report and two output reports
    // followed by 8 ms; 0DH cannot start before 0CH's transfer has ended.
    report("key matrix write (0CH + 0DH)", measure([&] {
               link.hid_0CH_SetKeyMatrix_1(half);
               link.hid_0DH_SetKeyMatrix_2(half);
               waitIdle(link);
           }),
           4 * 8.0, 6);

    // Until the call returns to the caller (8 ms after the transfer starts);
    // the transfer itself goes on in the pool.
    std::vector<double> calls;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer t;
        t.start();
        link.hid_0CH_SetKeyMatrix_1(half);
        calls.push_back(t.nsecsElapsed() / 1e6);
        waitIdle(link);
    }
    report("0CH until the call returns", calls, 8.0, 0);

    report("128-byte bulk read (8CH)", measure([&] { link.hid_8CH_GetKeyMatrix_1(half); }), 0, 4);

    uchar profile = 0;
    report("short read (A1H)", measure([&] { link.hid_A1H_GetCurrentProfile(profile); }), 0, 2);

    link.stopMonitor();
    return 0;
}
