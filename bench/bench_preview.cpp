// The lighting page's live preview in the real gearpanel on the emulated
// keyboard: for each of the twelve effects at its fastest speed and full
// brightness, the CPU time the process spends per second of wall time (in
// per cent of one core) and the frames the window shows per second; then
// the same with the lighting page closed (idle).
//
// The program runs from a copy of its folder with a fresh home folder. The
// effects are chosen as a user does, by pointer clicks sent through XTEST;
// the effects that answer key presses (0x03, 0x05, 0x09) get eight presses
// a second. Frames are the window's DAMAGE notifications (one per repaint
// that reaches the screen); CPU time is read from /proc/<pid>/stat.
//
// Run under an X server: xvfb-run -a -s "-screen 0 1280x1024x24" bench_preview [seconds per effect]
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <X11/keysym.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

// Where the controls are in the window (the window's own coordinates): the
// page area starts at (127, 96), the lighting page's controls at their
// places in it.
constexpr int kPageX = 127;
constexpr int kPageY = 96;
constexpr int kColorMenuX = 66;
constexpr int kColorMenuY = 349;
constexpr int kKeyMenuY = 251;
constexpr int kGroupEffectsX = kPageX + 30 + 110 + 8;
constexpr int kGroupEffectsY = kPageY + 15 + 4 + 8;
constexpr int kEffectListX = kPageX + 30 + 210 + 85;
constexpr int kEffectListY = kPageY + 15 + 11;
constexpr int kEntryHeight = 22;
// Past the rightmost stop of each slider: the knob stops there.
constexpr int kSpeedRightX = kPageX + 112 + 140;
constexpr int kBrightnessRightX = kPageX + 380 + 140;
constexpr int kSlidersY = kPageY + 352 + 11;

const char *const kEffectNames[12] = {
    "STATIC", "BREATHING",        "WAVE",    "INDUCTION DARKEN", "MARQUEE",  "RIPPLE", "INDUCTION BRIGHTEN",
    "NEON",   "MARQUEE COLORFUL", "RAINING", "MARQUEE CIRCLE",   "SPOTLIGHT"};

int ignoreXErrors(Display *, XErrorEvent *)
{
    return 0;
}

bool copyFolder(const QString &from, const QString &to)
{
    QDirIterator it(from, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + source.mid(from.size());
        const QFileInfo info = it.fileInfo();
        if (info.isDir() && !info.isSymLink()) {
            if (!QDir().mkpath(target))
                return false;
        } else if (!QFile::copy(source, target)) {
            return false;
        }
    }
    return true;
}

// User and system CPU time of a process in seconds.
double cpuSeconds(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return NAN;
    const QByteArray line = stat.readAll();
    // The command name may hold spaces: count fields after its ')'.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return NAN;
    return (fields.at(11).toDouble() + fields.at(12).toDouble()) / double(sysconf(_SC_CLK_TCK));
}

long windowPid(Display *dpy, Window window, Atom pidAtom)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char *data = nullptr;
    long result = 0;
    if (XGetWindowProperty(dpy, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after,
                           &data) == Success &&
        data && format == 32 && count == 1)
        result = long(*reinterpret_cast<unsigned long *>(data));
    if (data)
        XFree(data);
    return result;
}

// The process's mapped top-level window of at least 1000x600, or 0.
Window findWindow(Display *dpy, qint64 pid)
{
    const Atom pidAtom = XInternAtom(dpy, "_NET_WM_PID", False);
    Window root = DefaultRootWindow(dpy);
    Window parent = 0;
    Window *children = nullptr;
    unsigned int count = 0;
    Window found = 0;
    if (!XQueryTree(dpy, root, &root, &parent, &children, &count))
        return 0;
    for (unsigned int i = 0; i < count && !found; ++i) {
        XWindowAttributes attributes;
        if (windowPid(dpy, children[i], pidAtom) == pid &&
            XGetWindowAttributes(dpy, children[i], &attributes) && attributes.map_state == IsViewable &&
            attributes.width >= 1000 && attributes.height >= 600)
            found = children[i];
    }
    if (children)
        XFree(children);
    return found;
}

class Session
{
public:
    Session(Display *display, Window w, qint64 processId, int damageBase)
        : dpy(display), window(w), pid(processId), damageEvent(damageBase)
    {
        damage = XDamageCreate(dpy, window, XDamageReportNonEmpty);
        Window child = 0;
        XTranslateCoordinates(dpy, window, DefaultRootWindow(dpy), 0, 0, &originX, &originY, &child);
        XSync(dpy, False);
    }
    ~Session() { XDamageDestroy(dpy, damage); }

    void click(int x, int y)
    {
        XTestFakeMotionEvent(dpy, -1, originX + x, originY + y, 0);
        XTestFakeButtonEvent(dpy, 1, True, 0);
        XTestFakeButtonEvent(dpy, 1, False, 0);
        XSync(dpy, False);
        pause(400);
    }

    void key(KeySym sym)
    {
        const KeyCode code = XKeysymToKeycode(dpy, sym);
        XTestFakeKeyEvent(dpy, code, True, 0);
        XTestFakeKeyEvent(dpy, code, False, 0);
        XSync(dpy, False);
    }

    // Waits ms while counting the window's repaints.
    void pause(int ms)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms) {
            drain();
            QThread::msleep(5);
        }
        drain();
    }

    struct Figures {
        double cpuPercent = NAN;
        double fps = NAN;
    };

    // Measures for `seconds`; `presses` key presses a second meanwhile.
    Figures measure(double seconds, int presses)
    {
        static const KeySym keys[] = {XK_a, XK_s, XK_d, XK_f, XK_j, XK_k, XK_l, XK_g};
        pause(1000);
        frames = 0;
        const double cpu0 = cpuSeconds(pid);
        QElapsedTimer clock;
        clock.start();
        int sent = 0;
        while (clock.elapsed() < seconds * 1000) {
            if (presses > 0 && clock.elapsed() * presses / 1000 >= sent)
                key(keys[sent++ % 8]);
            drain();
            QThread::msleep(5);
        }
        drain();
        const double wall = clock.nsecsElapsed() / 1e9;
        Figures f;
        f.cpuPercent = 100.0 * (cpuSeconds(pid) - cpu0) / wall;
        f.fps = frames / wall;
        return f;
    }

private:
    void drain()
    {
        while (XPending(dpy)) {
            XEvent event;
            XNextEvent(dpy, &event);
            if (event.type == damageEvent + XDamageNotify) {
                ++frames;
                XDamageSubtract(dpy, damage, None, None);
            }
        }
    }

    Display *dpy;
    Window window;
    qint64 pid;
    int damageEvent;
    Damage damage = 0;
    int originX = 0;
    int originY = 0;
    long frames = 0;
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const double seconds = argc > 1 ? std::max(1.0, std::atof(argv[1])) : 5.0;

    Display *dpy = XOpenDisplay(nullptr);
    int damageEvent = 0;
    int damageError = 0;
    int xtestEvent = 0;
    int xtestError = 0;
    int major = 0;
    int minor = 0;
    if (!dpy || !XDamageQueryExtension(dpy, &damageEvent, &damageError) ||
        !XTestQueryExtension(dpy, &xtestEvent, &xtestError, &major, &minor)) {
        std::fprintf(stderr,
                     "bench_preview needs an X server with DAMAGE and XTEST (run it under xvfb-run -a)\n");
        return 1;
    }
    XSetErrorHandler(ignoreXErrors);

    QTemporaryDir scratch;
    const QString programPath = QStringLiteral(GEARPANEL_PROGRAM);
    const QString folder = scratch.path() + QStringLiteral("/program");
    if (!scratch.isValid() || !QDir().mkpath(folder) ||
        !copyFolder(QFileInfo(programPath).absolutePath(), folder)) {
        std::fprintf(stderr, "cannot copy the program folder\n");
        return 1;
    }
    const QString home = scratch.path() + QStringLiteral("/home");
    QDir().mkpath(home);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/.cache"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    env.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(Q3EMU_LIBRARY));
    env.insert(QStringLiteral("PHONON_GST_AUDIOSINK"), QStringLiteral("fake"));
    // A keyboard of its own, whatever other programs of the user hold.
    env.insert(QStringLiteral("Q3EMU_STATE"), QStringLiteral("private"));

    QProcess process;
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(folder);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(folder + QLatin1Char('/') + QFileInfo(programPath).fileName(), QStringList());
    if (!process.waitForStarted(10000)) {
        std::fprintf(stderr, "gearpanel did not start\n");
        return 1;
    }
    Window window = 0;
    QElapsedTimer wait;
    wait.start();
    while (!window && wait.elapsed() < 20000) {
        QThread::msleep(100);
        window = findWindow(dpy, process.processId());
    }
    if (!window) {
        std::fprintf(stderr, "no window of gearpanel within 20 s\n");
        process.kill();
        process.waitForFinished();
        return 1;
    }
    {
        Session session(dpy, window, process.processId(), damageEvent);
        // Start-up, and the pages made in the background after it.
        session.pause(5000);

        std::printf(
            "Lighting preview, %.0f s per effect, fastest speed, full brightness (CPU: %% of one core)\n\n",
            seconds);
        std::printf("  %-22s %8s %8s\n", "effect", "CPU %", "frames/s");
        session.click(kColorMenuX, kColorMenuY);
        session.pause(1500);
        double worst = 0;
        for (int e = 0; e < 12; ++e) {
            session.click(kGroupEffectsX, kGroupEffectsY);
            session.click(kEffectListX, kEffectListY);
            session.click(kEffectListX, kEffectListY + kEntryHeight + e * kEntryHeight + kEntryHeight / 2);
            if (e == 0)
                session.click(kBrightnessRightX, kSlidersY);
            // Speed is a choice of the effects that have one; the level stays.
            session.click(kSpeedRightX, kSlidersY);
            const bool presses = e == 0x03 || e == 0x05 || e == 0x09;
            const Session::Figures f = session.measure(seconds, presses ? 8 : 0);
            worst = std::max(worst, f.cpuPercent);
            char name[64];
            std::snprintf(name, sizeof name, "0x%02X %s%s", e, kEffectNames[e], presses ? " *" : "");
            std::printf("  %-22s %8.1f %8.1f\n", name, f.cpuPercent, f.fps);
            std::fflush(stdout);
        }
        session.click(kColorMenuX, kKeyMenuY);
        session.pause(1500);
        const Session::Figures idle = session.measure(seconds, 0);
        std::printf("  %-22s %8.1f %8.1f\n", "idle, page closed", idle.cpuPercent, idle.fps);
        std::printf("\n  * with 8 key presses a second\n  most expensive effect: %.1f %% (goal <= 15 %%), "
                    "idle %.1f %% "
                    "(goal <= 1 %%)\n",
                    worst, idle.cpuPercent);
        std::fflush(stdout);
    }

    process.terminate();
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished(5000);
    }
    XCloseDisplay(dpy);
    return 0;
}
