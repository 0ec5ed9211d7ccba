// A full firmware update of the demonstration image by romwriter's window
// against the emulated boot loader at full-speed timing (about 1 ms per
// report), compared with the time the image's bytes alone need at full-speed
// USB HID: 64 bytes per 1 ms frame. Prints figures, asserts nothing.
//
// Two figures: from the "Update" click with the boot loader already present
// (the programming itself), and from the click with the keyboard in normal
// mode (adding the boot-loader command, its status query and the keyboard's
// re-enumeration as its boot loader).
#include "imagewriter.h"
#include "q3emu.h"
#include "window.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <vector>

namespace {

constexpr int kRuns = 5;
constexpr double kReportDelayMs = 1.0;
constexpr double kBytesPerFrame = 64.0;
// Waits the procedure itself makes: 30 ms after connecting, 100 ms after
// verifying, 10 ms after the start command, 50 ms after the switch.
constexpr double kProgrammingPausesMs = 30 + 100 + 10 + 50;
// Before that: two 64 ms steps after the boot-loader command, 30 ms before
// its status query, 30 ms before the automatic click, and the emulated
// keyboard's re-enumeration.
constexpr double kEntryPausesMs = 128 + 30 + 30;

struct Run {
    double ms;
    std::size_t reports; // reports on the wire, either direction
};

std::size_t wireReports()
{
    std::size_t n = 0;
    for (const auto &e : q3emu::trace())
        n += e.iface == q3emu::Interface::BootLoader || e.iface == q3emu::Interface::Command ? 1 : 0;
    return n;
}

Run updateOnce(bool fromKeyboard)
{
    q3emu::reset(fromKeyboard ? q3emu::Scenario::Keyboard : q3emu::Scenario::NoKeyboard);
    q3emu::setReportDelay(std::chrono::microseconds(static_cast<int>(kReportDelayMs * 1000)));
    if (!fromKeyboard)
        q3emu::plug(q3emu::Interface::BootLoader);
    romwriter::Widget w;
    w.show();
    QCoreApplication::processEvents();
    q3emu::clearTrace();

    QElapsedTimer t;
    t.start();
    w.findChild<QPushButton *>(QStringLiteral("updateButton"))->click();
    while (w.link().runState().updateState != 3 && w.link().runState().updateState != -1 &&
           t.elapsed() < 60000) {
        QCoreApplication::processEvents();
        QThread::usleep(200);
    }
    const double ms = t.nsecsElapsed() / 1e6;
    if (w.link().runState().updateState != 3)
        std::printf("  (run did not succeed: state %d)\n", w.link().runState().updateState);
    return {ms, wireReports()};
}

void report(const char *name, const std::vector<Run> &runs, double imageMs, double pausesMs)
{
    std::vector<double> ms;
    for (const Run &r : runs)
        ms.push_back(r.ms);
    std::sort(ms.begin(), ms.end());
    const double median = ms[ms.size() / 2];
    const double mean = std::accumulate(ms.begin(), ms.end(), 0.0) / ms.size();
    const double wire = runs.front().reports * kReportDelayMs;
    std::printf("%-40s median %8.1f ms  mean %8.1f ms  worst %8.1f ms\n", name, median, mean, ms.back());
    std::printf("%-40s x%.2f the image at 64 bytes/ms (%.0f ms); %zu reports = %.0f ms emulated wire time + "
                "%.0f ms mandated pauses (x%.2f)\n",
                "", median / imageMs, imageMs, runs.front().reports, wire, pausesMs,
                median / (wire + pausesMs));
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("gearpanel.*.debug=false"));

    QTemporaryDir folder;
    QDir::setCurrent(folder.path());
    const QByteArray image = imagewriter::demoImage(0x0202);
    QFile file(QStringLiteral("data.bin"));
    if (!file.open(QIODevice::WriteOnly) || file.write(imagewriter::dataFile(image)) < 0)
        return 1;
    file.close();

    const double imageMs = image.size() / kBytesPerFrame;
    std::printf("Firmware update of the %d-byte demonstration image, %d runs each, %.1f ms per report\n",
                image.size(), kRuns, kReportDelayMs);

    std::vector<Run> programming, whole;
    for (int i = 0; i < kRuns; ++i)
        programming.push_back(updateOnce(false));
    for (int i = 0; i < kRuns; ++i)
        whole.push_back(updateOnce(true));

    report("click to success, boot loader present", programming, imageMs, kProgrammingPausesMs);
    // The emulated keyboard re-enumerates 200 ms after it leaves normal mode.
    report("click to success, keyboard in normal mode", whole, imageMs,
           kProgrammingPausesMs + kEntryPausesMs + 200);
    return 0;
}
