// Applying a whole profile through the view, as the pages do when the user
// presses APPLY everywhere: the key matrix, the palette, one picture and the
// lighting, against the emulated keyboard at full-speed timing (about 1 ms
// per report). Prints figures, asserts nothing.
//
// Reported: the time until the last slot returns (the GUI is busy that
// long), the time until the keyboard has taken the last report, the pauses
// the protocol mandates (8 ms after every data-phase output report) and the
// emulated wire time, both counted from the wire trace of one run; and the
// time to write the profile file to disk.
#include "devinfo.h"
#include "hid_thread.h"
#include "myquickview.h"
#include "q3emu.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <vector>

namespace {

constexpr int kRuns = 30;
constexpr double kReportDelayMs = 1.0;
constexpr double kMandatedPauseMs = 8.0;

void waitIdle(const Hid_Thread &link)
{
    while (!link.isLinkIdle()) {
        QCoreApplication::processEvents();
        QThread::usleep(100);
    }
}

void print(const char *name, std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    const double mean = std::accumulate(ms.begin(), ms.end(), 0.0) / ms.size();
    std::printf("%-40s median %7.2f ms  mean %7.2f ms  worst %7.2f ms\n", name, ms[ms.size() / 2], mean,
                ms.back());
}

struct Profile {
    QVariantList matrix, palette, picture;
};

Profile makeProfile(int run)
{
    Profile p;
    for (int i = 0; i < 128; ++i)
        p.matrix << (i + 4 + run) % 256 << 0;
    for (int k = 0; k < 21; ++k)
        p.palette << (k * 12 + run) % 256;
    for (int k = 0; k < 384; ++k)
        p.picture << (k + run) % 256;
    return p;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTemporaryDir folder;
    QDir(folder.path()).mkpath(QStringLiteral("modules/setting"));
    QDir::setCurrent(folder.path());

    q3emu::reset(q3emu::Scenario::Keyboard);
    q3emu::setReportDelay(std::chrono::microseconds(static_cast<int>(kReportDelayMs * 1000)));
    Hid_Thread link;
    link.setDeviceList(loadDevInfo(kDevInfoResource, {}).records);
    link.swichCurDevice(0);
    myQQuickView view;
    view.setHid(&link);

    std::vector<double> returned, applied, saved;
    int outputs = 0, reports = 0;
    for (int run = 0; run < kRuns; ++run) {
        const Profile p = makeProfile(run);
        q3emu::clearTrace();
        QElapsedTimer t;
        t.start();
        view.ui_0C0DH_SetKeyMatrix(p.matrix);
        view.ui_30H_SetColor(p.palette);
        view.ui_12H_SetUserPicture(0, 0, p.picture);
        view.ui_08H_SetLEDType(1, 4, 2, 0, 3, 0);
        returned.push_back(t.nsecsElapsed() / 1e6);
        waitIdle(link);
        applied.push_back(t.nsecsElapsed() / 1e6);

        const std::vector<q3emu::TraceEntry> trace = q3emu::trace();
        reports = int(trace.size());
        outputs = int(std::count_if(trace.begin(), trace.end(), [](const q3emu::TraceEntry &e) {
            return e.kind == q3emu::TraceEntry::Kind::Output;
        }));

        // What QSettings writes on its own schedule, forced here to time it.
        QElapsedTimer s;
        s.start();
        QSettings(QStringLiteral("./modules/setting/p1.bin"), QSettings::IniFormat).sync();
        saved.push_back(s.nsecsElapsed() / 1e6);
    }
    link.stopMonitor();

    const double mandated = outputs * kMandatedPauseMs;
    const double wire = reports * kReportDelayMs;
    std::printf(
        "Applying a whole profile (matrix, palette, one picture, lighting), %d runs, %.1f ms per report\n",
        kRuns, kReportDelayMs);
    std::printf("%d reports on the wire, %d of them data-phase output reports\n", reports, outputs);
    print("until the last slot returns", returned);
    print("until the keyboard has it all", applied);
    std::sort(applied.begin(), applied.end());
    const double median = applied[applied.size() / 2];
    std::printf("mandated pauses %.0f ms, pauses + wire %.0f ms: the median is x%.2f of that\n", mandated,
                mandated + wire, median / (mandated + wire));
    print("profile file written to disk", saved);
    return 0;
}
