// The keyboard plugged in again: the time from the arrival event that
// completes it (its event interface, after the command interface) to the
// native side having read it (discovery, monitor, firmware and profile) and
// on to the window showing it (QML has read it again and enables its
// controls). For reference, the first discovery at start. In a window of this
// process on the emulated keyboard; run under an X server (xvfb-run -a).
#include "myquickview.h"
#include "q3emu.h"
#include "widget.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QQmlProperty>
#include <QQuickItem>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

void print(const char *what, std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const auto at = [&values](double q) {
        return values[std::min(values.size() - 1, size_t(q * values.size()))];
    };
    std::printf("  %-34s median %7.1f ms   p90 %7.1f ms   worst %7.1f ms\n", what, at(0.5), at(0.9),
                values.back());
}

bool waitFor(const std::function<bool()> &done, int timeoutMs = 10000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    }
    return true;
}

void copyFolder(const QString &from, const QString &to)
{
    QDir().mkpath(to);
    for (const QString &name : QDir(from).entryList(QDir::Files))
        QFile::copy(from + '/' + name, to + '/' + name);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND"))
        qputenv("QT_QUICK_BACKEND", "software");
    if (qEnvironmentVariableIsEmpty("PHONON_GST_AUDIOSINK"))
        qputenv("PHONON_GST_AUDIOSINK", "fake");
    // Only the figures: the window's own messages (the folder holds no skins)
    // would bury them.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(5, atoi(argv[1])) : 30;

    // The settings and texts that ship, in a program folder of its own.
    QTemporaryDir folder;
    for (const char *sub : {"setting", "i18n"})
        copyFolder(QStringLiteral(GEARPANEL_STAGED_FOLDER "/modules/") + sub,
                   folder.path() + QStringLiteral("/modules/") + sub);
    QDir::setCurrent(folder.path());

    q3emu::reset(q3emu::Scenario::Keyboard);
    Widget window;
    const Clock::time_point discoveryStart = Clock::now();
    window.checkDevice();
    const double firstDiscovery = msSince(discoveryStart, Clock::now());
    window.showNormal();
    window.startUi();
    QQuickItem *root = window.view()->rootObject();
    const QQmlProperty connected(root, QStringLiteral("keyboardConnected"));
    // Start-up's own reading is over once the window has settled.
    waitFor([] { return false; }, 1500);

    Clock::time_point nativeAt, shownAt;
    bool nativeSeen = false, shownSeen = false;
    // The window shows the keyboard once QML, having read it again, enables
    // its sending controls; polled every millisecond at most.
    QObject::connect(&window, &Widget::keyboardChanged, [&](bool on) {
        if (on) {
            nativeAt = Clock::now();
            nativeSeen = true;
        }
    });
    if (root->metaObject()->indexOfProperty("keyboardConnected") < 0) {
        std::fprintf(stderr, "the root document has no keyboardConnected property\n");
        return 1;
    }

    std::vector<double> native, toWindow;
    int lost = 0;
    for (int i = 0; i < rounds; ++i) {
        q3emu::unplug(q3emu::Interface::Command);
        q3emu::unplug(q3emu::Interface::Event);
        if (!waitFor([&] { return !connected.read().toBool(); })) {
            ++lost;
            continue;
        }
        q3emu::plug(q3emu::Interface::Command);
        waitFor([] { return false; }, 40);
        nativeSeen = shownSeen = false;
        const Clock::time_point arrival = Clock::now();
        q3emu::plug(q3emu::Interface::Event);
        if (!waitFor([&] {
                if (!shownSeen && connected.read().toBool()) {
                    shownAt = Clock::now();
                    shownSeen = true;
                }
                return shownSeen;
            })) {
            ++lost;
            continue;
        }
        if (nativeSeen)
            native.push_back(msSince(arrival, nativeAt));
        toWindow.push_back(msSince(arrival, shownAt));
    }

    std::printf("keyboard arrival to the window showing its state (%d replugs, %d lost)\n", rounds, lost);
    std::printf("  %-34s %7.1f ms\n", "first discovery at start", firstDiscovery);
    if (!native.empty())
        print("arrival event to native re-read", native);
    if (!toWindow.empty())
        print("arrival event to window shown", toWindow);
    return lost == 0 ? 0 : 1;
}
