// Global capture: the latency from a key event injected into the X server
// (XTEST) to the keyboard handler, and on through the view to QML's msg_KB,
// in a main window of this process. Run under an X server (xvfb-run -a).
#include "inputhooks.h"
#include "myquickview.h"
#include "ui_controler.h"
#include "widget.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QQuickItem>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point g_handlerAt;
Clock::time_point g_qmlAt;
bool g_handlerSeen = false;
bool g_qmlSeen = false;

void forwardKey(uint8_t usage, bool isDown, void *window)
{
    g_handlerAt = Clock::now();
    g_handlerSeen = true;
    static_cast<Widget *>(window)->uiController()->quickView()->detectKeyboard(isDown, usage);
}

struct Figures {
    std::vector<double> handlerUs, qmlUs;
};

void print(const char *what, std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const auto at = [&values](double q) {
        return values[std::min(values.size() - 1, size_t(q * values.size()))];
    };
    std::printf("  %-28s median %8.1f us   p90 %8.1f us   p99 %8.1f us   worst %8.1f us\n", what, at(0.5),
                at(0.9), at(0.99), values.back());
}

} // namespace

class QmlKeyWatch : public QObject
{
    Q_OBJECT
public slots:
    void onKey(bool, int)
    {
        g_qmlAt = Clock::now();
        g_qmlSeen = true;
    }
};

#include "bench_input.moc"

// Last: their macros (Bool, None...) would break Qt's headers and moc's code.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND"))
        qputenv("QT_QUICK_BACKEND", "software");
    if (qEnvironmentVariableIsEmpty("PHONON_GST_AUDIOSINK"))
        qputenv("PHONON_GST_AUDIOSINK", "fake");
    QApplication app(argc, argv);
    const int keys = argc > 1 ? std::max(10, atoi(argv[1])) : 300;

    Display *injector = XOpenDisplay(nullptr);
    int event, error, major, minor;
    if (!injector || !XTestQueryExtension(injector, &event, &error, &major, &minor)) {
        std::fprintf(stderr, "needs an X server with XTEST (run under xvfb-run -a)\n");
        return 1;
    }

    // An empty program folder: the window runs on its defaults.
    QTemporaryDir folder;
    QDir::setCurrent(folder.path());
    Widget window;
    window.showNormal();
    InputHooks hooks;
    if (!hooks.install(window.view()->keyboardLayout() == 0)) {
        std::fprintf(stderr, "capture could not be installed\n");
        return 1;
    }
    InputHooks::setKeyboardHandler(forwardKey, &window);
    QmlKeyWatch watch;
    QObject::connect(window.view()->rootObject(), SIGNAL(msg_KB(bool, int)), &watch, SLOT(onKey(bool, int)));

    // Letters A to Z in turn, so no release is followed by a press of the
    // same key, which would wait for the next event to tell it from a repeat.
    const uint8_t letters[] = {30, 48, 46, 32, 18, 33, 34, 35, 23, 36, 37, 38, 50,
                               49, 24, 25, 16, 19, 31, 20, 22, 47, 17, 45, 21, 44};
    Figures press, release;
    const int warmUp = 20;
    for (int i = 0; i < keys + warmUp; ++i) {
        const uint8_t keycode = letters[i % 26] + 8;
        for (bool isDown : {true, false}) {
            g_handlerSeen = g_qmlSeen = false;
            const Clock::time_point sent = Clock::now();
            XTestFakeKeyEvent(injector, keycode, isDown ? True : False, CurrentTime);
            XFlush(injector);
            QElapsedTimer wait;
            wait.start();
            while (!(g_handlerSeen && g_qmlSeen) && wait.elapsed() < 5000)
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
            if (!g_handlerSeen || !g_qmlSeen) {
                std::fprintf(stderr, "event %d did not arrive\n", i);
                return 1;
            }
            if (i < warmUp)
                continue;
            Figures &f = isDown ? press : release;
            f.handlerUs.push_back(std::chrono::duration<double, std::micro>(g_handlerAt - sent).count());
            f.qmlUs.push_back(std::chrono::duration<double, std::micro>(g_qmlAt - sent).count());
        }
    }
    hooks.uninstall();
    XCloseDisplay(injector);

    Figures all = press;
    all.handlerUs.insert(all.handlerUs.end(), release.handlerUs.begin(), release.handlerUs.end());
    all.qmlUs.insert(all.qmlUs.end(), release.qmlUs.begin(), release.qmlUs.end());
    std::printf("injected key event to capture (%d presses and %d releases):\n", keys, keys);
    print("to the handler, all", all.handlerUs);
    print("to QML msg_KB, all", all.qmlUs);
    print("to the handler, presses", press.handlerUs);
    print("to the handler, releases", release.handlerUs);
    print("to QML msg_KB, presses", press.qmlUs);
    print("to QML msg_KB, releases", release.qmlUs);
    return 0;
}
