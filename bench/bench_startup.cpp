// Start-up of the real gearpanel on the emulated keyboard against a plain Qt
// widget program (the floor), both started the same way: the same
// environment, the emulated keyboard preloaded, and a fresh home folder for
// every start, so no per-user cache (QML, GStreamer registry, shaders) helps.
//
// Every time comes from an event, never from polling: the window's mapping
// and each change of its pixels arrive as X events (SubstructureNotify on the
// root, DAMAGE on the program's windows), QML's initUI as its log line. The
// memory is read 5 s after the start, when the program has been idle for a
// while. "Content stable" is the last change of the window's pixels seen in
// those 5 s; a window still changing in the last second is marked with "*".
//
// Run under an X server: xvfb-run -a -s "-screen 0 1280x1024x24" bench_startup [runs] [--warm] [--program PATH]
// --warm adds a second start in the same home folder (caches filled by the
// first); --program measures another gearpanel (its folder is copied like
// the build's). FLOOR_PROGRAM names another floor program than pixeltool.
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QProcess>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <vector>

namespace {

constexpr int kObserveMs = 5000;
// Pixels changing within this long before the end of the observation mean
// the content has not settled.
constexpr int kSettledMs = 1000;

struct Start {
    bool ok = false;
    double mapMs = NAN;
    double initUiMs = NAN;
    double firstPaintMs = NAN;
    double stableMs = NAN;
    bool settled = true;
    double rssMiB = NAN;
    double privateMiB = NAN;
    double dirtyMiB = NAN;
};

// Resident, private (clean and dirty: what no other process shares at the
// moment) and private dirty memory (what the process itself wrote, the part
// that no other program on the machine can change) of a process, in MiB.
bool readMemory(qint64 pid, Start &start)
{
    QFile rollup(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
    if (!rollup.open(QIODevice::ReadOnly))
        return false;
    long rss = -1;
    long clean = 0;
    long dirty = 0;
    for (const QByteArray &line : rollup.readAll().split('\n')) {
        const auto kib = [&line] { return line.mid(line.indexOf(':') + 1).trimmed().split(' ').first().toLong(); };
        if (line.startsWith("Rss:"))
            rss = kib();
        else if (line.startsWith("Private_Clean:"))
            clean = kib();
        else if (line.startsWith("Private_Dirty:"))
            dirty = kib();
    }
    if (rss < 0)
        return false;
    start.rssMiB = rss / 1024.0;
    start.privateMiB = (clean + dirty) / 1024.0;
    start.dirtyMiB = dirty / 1024.0;
    return true;
}

int ignoreXErrors(Display *, XErrorEvent *)
{
    // Windows come and go while they are looked at; a request on one that is
    // gone is not a fault of the measurement.
    return 0;
}

// Watches the X server for the windows of one process.
class XWatch
{
public:
    explicit XWatch(Display *display) : dpy(display)
    {
        root = DefaultRootWindow(dpy);
        pidAtom = XInternAtom(dpy, "_NET_WM_PID", False);
        XDamageQueryExtension(dpy, &damageEvent, &damageError);
    }

    // Starts listening for new top-level windows; call before the process starts.
    void begin(qint64 processId)
    {
        pid = processId;
        pidOf.clear();
        damages.clear();
        mapped = false;
        start = {};
        XSelectInput(dpy, root, SubstructureNotifyMask);
        XFlush(dpy);
    }

    void end()
    {
        XSelectInput(dpy, root, NoEventMask);
        for (Damage damage : damages)
            XDamageDestroy(dpy, damage);
        damages.clear();
        XSync(dpy, True);
    }

    void setPid(qint64 processId) { pid = processId; }

    // Reads every queued event; `now` is the time since the start in ms.
    void drain(double now)
    {
        while (XPending(dpy)) {
            XEvent event;
            XNextEvent(dpy, &event);
            if (event.type == CreateNotify) {
                // A frame of a reparenting window manager maps the client
                // inside itself: listen to its children too. Damage is
                // watched from creation so that the first paint is seen.
                const Window window = event.xcreatewindow.window;
                XSelectInput(dpy, window, SubstructureNotifyMask);
                damages.push_back(XDamageCreate(dpy, window, XDamageReportRawRectangles));
            } else if (event.type == MapNotify) {
                if (!mapped && belongs(event.xmap.window)) {
                    mapped = true;
                    start.mapMs = now;
                }
            } else if (event.type == damageEvent + XDamageNotify) {
                const auto *damage = reinterpret_cast<XDamageNotifyEvent *>(&event);
                if (mapped && belongs(damage->drawable)) {
                    if (std::isnan(start.firstPaintMs))
                        start.firstPaintMs = now;
                    start.stableMs = now;
                }
            }
        }
    }

    Start start;

private:
    bool belongs(Window window)
    {
        if (pid <= 0)
            return false;
        auto known = pidOf.find(window);
        if (known == pidOf.end() || known->second <= 0)
            known = pidOf.insert_or_assign(window, windowPid(window)).first;
        return known->second == pid;
    }

    long windowPid(Window window)
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

    Display *dpy;
    Window root;
    Atom pidAtom;
    int damageEvent = 0;
    int damageError = 0;
    qint64 pid = 0;
    bool mapped = false;
    std::map<Window, long> pidOf;
    std::vector<Damage> damages;
};

// The session bus address the programs are given: a desktop session has
// one, and without it both programs would start a bus of their own through
// D-Bus's autolaunch, which no user's start pays.
QString g_sessionBus;

// Starts a private session bus when none is set; empty when there is one
// already or none can be started.
QString startSessionBus(QProcess &daemon)
{
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return QString();
    daemon.setStandardErrorFile(QProcess::nullDevice());
    daemon.start(QStringLiteral("dbus-daemon"),
                 {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
    if (!daemon.waitForStarted(5000))
        return QString();
    while (!daemon.canReadLine() && daemon.waitForReadyRead(5000)) {
    }
    return QString::fromLocal8Bit(daemon.readLine()).trimmed();
}

QProcessEnvironment environmentFor(const QString &home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!g_sessionBus.isEmpty())
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), g_sessionBus);
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/.cache"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
    env.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(Q3EMU_LIBRARY));
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("gearpanel.qml.debug=true"));
    return env;
}

// One start of `program`, watched for kObserveMs.
Start measure(Display *dpy, const QString &program, const QString &home)
{
    XWatch watch(dpy);
    QProcess process;
    process.setProcessEnvironment(environmentFor(home));
    process.setProcessChannelMode(QProcess::MergedChannels);

    QEventLoop loop;
    QElapsedTimer clock;
    const auto now = [&clock] { return clock.nsecsElapsed() / 1e6; };
    QSocketNotifier xEvents(ConnectionNumber(dpy), QSocketNotifier::Read);
    QObject::connect(&xEvents, &QSocketNotifier::activated, [&] { watch.drain(now()); });
    QByteArray output;
    QObject::connect(&process, &QProcess::readyRead, [&] {
        output += process.readAll();
        if (std::isnan(watch.start.initUiMs) && output.contains("initUI"))
            watch.start.initUiMs = now();
    });
    QObject::connect(&process, qOverload<int, QProcess::ExitStatus>(&QProcess::finished), &loop, &QEventLoop::quit);
    QTimer observed;
    observed.setSingleShot(true);
    QObject::connect(&observed, &QTimer::timeout, &loop, &QEventLoop::quit);

    // Listening starts before the process does; its pid is known right after,
    // long before it can make a window.
    watch.begin(0);
    clock.start();
    observed.start(kObserveMs);
    process.start(program, QStringList());
    watch.setPid(process.processId());
    watch.drain(now());
    loop.exec();
    watch.drain(now());

    Start result = watch.start;
    if (process.state() == QProcess::Running) {
        result.ok = readMemory(process.processId(), result) && !std::isnan(result.mapMs);
        result.settled = std::isnan(result.stableMs) || result.stableMs < kObserveMs - kSettledMs;
        process.terminate();
        if (!process.waitForFinished(10000)) {
            process.kill();
            process.waitForFinished(5000);
        }
    } else {
        std::fprintf(stderr, "%s ended early (exit %d):\n%s\n", qPrintable(program), process.exitCode(),
                     output.constData());
    }
    watch.end();
    return result;
}

// A copy of the program's folder, so that a copy of gearpanel started from
// the build tree by someone else cannot meet this one's single-instance
// guard, and nothing the program saves lands in the build tree.
bool copyFolder(const QString &from, const QString &to)
{
    QDirIterator it(from, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
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

double median(std::vector<double> values)
{
    values.erase(std::remove_if(values.begin(), values.end(), [](double v) { return std::isnan(v); }),
                 values.end());
    if (values.empty())
        return NAN;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct Series {
    std::vector<Start> starts;
    std::vector<double> of(double Start::*field) const
    {
        std::vector<double> values;
        for (const Start &start : starts)
            values.push_back(start.*field);
        return values;
    }
    double med(double Start::*field) const { return median(of(field)); }
    int unsettled() const
    {
        return int(std::count_if(starts.begin(), starts.end(), [](const Start &s) { return !s.settled; }));
    }
};

QString cell(double value, const char *format = "%.0f")
{
    return std::isnan(value) ? QStringLiteral("-") : QString::asprintf(format, value);
}

QString range(const Series &series, double Start::*field)
{
    std::vector<double> values = series.of(field);
    values.erase(std::remove_if(values.begin(), values.end(), [](double v) { return std::isnan(v); }),
                 values.end());
    if (values.size() < 2)
        return QStringLiteral("-");
    const auto [lo, hi] = std::minmax_element(values.begin(), values.end());
    return QString::asprintf("%.0f..%.0f", *lo, *hi);
}

struct Column {
    const char *title;
    double Start::*field;
    const char *format;
};

const Column kColumns[] = {
    {"mapped", &Start::mapMs, "%.0f"},         {"painted", &Start::firstPaintMs, "%.0f"},
    {"initUI", &Start::initUiMs, "%.0f"},      {"stable", &Start::stableMs, "%.0f"},
    {"resident", &Start::rssMiB, "%.1f"},      {"private", &Start::privateMiB, "%.1f"},
    {"dirty", &Start::dirtyMiB, "%.1f"},
};

void printLine(const char *name, const QStringList &cells)
{
    std::printf("  %-18s", name);
    for (const QString &text : cells)
        std::printf(" %10s", qPrintable(text));
    std::printf("\n");
}

void printHeader()
{
    QStringList titles;
    for (const Column &column : kColumns)
        titles << QString::fromLatin1(column.title);
    printLine("", titles);
}

void printRow(const char *name, const Series &series)
{
    QStringList medians;
    QStringList ranges;
    for (const Column &column : kColumns) {
        QString text = cell(series.med(column.field), column.format);
        if (column.field == &Start::stableMs && series.unsettled())
            text += QLatin1Char('*');
        medians << text;
        ranges << range(series, column.field);
    }
    printLine(name, medians);
    printLine("  (min..max)", ranges);
}

// The median of the ratios of the starts made one after the other, which a
// machine whose load drifts during the benchmark disturbs less than the
// ratio of the two medians.
void printRatio(const Series &program, const Series &floor)
{
    QStringList ratios;
    for (const Column &column : kColumns) {
        std::vector<double> paired;
        for (size_t i = 0; i < program.starts.size() && i < floor.starts.size(); ++i) {
            const double a = program.starts[i].*column.field;
            const double b = floor.starts[i].*column.field;
            if (!std::isnan(a) && !std::isnan(b) && b > 0)
                paired.push_back(a / b);
        }
        const double m = median(paired);
        ratios << (std::isnan(m) ? QStringLiteral("-") : QString::asprintf("x%.2f", m));
    }
    printLine("gearpanel / floor", ratios);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    int runs = 5;
    bool warm = false;
    QString programPath = QStringLiteral(GEARPANEL_PROGRAM);
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--warm") == 0)
            warm = true;
        else if (std::strcmp(argv[i], "--program") == 0 && i + 1 < argc)
            programPath = QString::fromLocal8Bit(argv[++i]);
        else
            runs = std::max(1, atoi(argv[i]));
    }

    Display *dpy = XOpenDisplay(nullptr);
    int damageEvent = 0;
    int damageError = 0;
    if (!dpy || !XDamageQueryExtension(dpy, &damageEvent, &damageError)) {
        std::fprintf(stderr, "bench_startup needs an X server with the DAMAGE extension (run it under xvfb-run -a)\n");
        return 1;
    }
    XSetErrorHandler(ignoreXErrors);

    QString floorProgram = qEnvironmentVariable("FLOOR_PROGRAM");
    // Qt's own folder of programs first: the one on the PATH may be a
    // chooser that is there without the tool.
    if (floorProgram.isEmpty())
        floorProgram = QStandardPaths::findExecutable(QStringLiteral("pixeltool"),
                                                      {QLibraryInfo::location(QLibraryInfo::BinariesPath)});
    if (floorProgram.isEmpty()) {
        std::fprintf(stderr, "no floor program: install qttools5-dev-tools (pixeltool) or set FLOOR_PROGRAM\n");
        return 1;
    }

    QProcess busDaemon;
    g_sessionBus = startSessionBus(busDaemon);
    if (g_sessionBus.isEmpty() && qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        std::fprintf(stderr, "no session bus: the programs will start their own\n");

    QTemporaryDir scratch;
    const QString programFolder = QFileInfo(programPath).absolutePath();
    const QString copyFolderPath = scratch.path() + QStringLiteral("/program");
    if (!scratch.isValid() || !QDir().mkpath(copyFolderPath) || !copyFolder(programFolder, copyFolderPath)) {
        std::fprintf(stderr, "cannot copy %s\n", qPrintable(programFolder));
        return 1;
    }
    const QString gearpanel = copyFolderPath + QLatin1Char('/') + QFileInfo(programPath).fileName();

    Series program;
    Series floor;
    Series programWarm;
    Series floorWarm;
    int failed = 0;
    // A failed start is reported and kept as a start without figures, so
    // that the starts of the two programs stay paired.
    const auto keep = [&failed](Series &series, Start start, int run, const QString &path) {
        if (!start.ok) {
            std::fprintf(stderr, "run %d of %s: no window within %d ms\n", run, qPrintable(path), kObserveMs);
            ++failed;
            start = Start();
        }
        series.starts.push_back(start);
    };
    // Alternating the two programs spreads any drift of the machine's load
    // over both.
    for (int i = 0; i < runs; ++i) {
        for (auto [path, cold, again] : {std::tuple{gearpanel, &program, &programWarm},
                                         std::tuple{floorProgram, &floor, &floorWarm}}) {
            QTemporaryDir home;
            keep(*cold, measure(dpy, path, home.path()), i, path);
            if (warm)
                keep(*again, measure(dpy, path, home.path()), i, path);
        }
    }

    const QByteArray backend = qgetenv("QT_QUICK_BACKEND");
    std::printf("start-up: %d runs each, fresh home folder per run, %d ms watched%s%s\n", runs, kObserveMs,
                backend.isEmpty() ? "" : ", QT_QUICK_BACKEND=", backend.constData());
    std::printf("floor: %s; medians, times in ms from the process start, memory in MiB at %d ms\n",
                qPrintable(floorProgram), kObserveMs);
    printHeader();
    printRow("gearpanel", program);
    printRow("floor", floor);
    printRatio(program, floor);
    if (warm) {
        std::printf("second start in the same home folder:\n");
        printRow("gearpanel", programWarm);
        printRow("floor", floorWarm);
        printRatio(programWarm, floorWarm);
    }
    if (failed)
        std::printf("  %d starts failed and are left out\n", failed);
    if (program.unsettled() || floor.unsettled() || programWarm.unsettled() || floorWarm.unsettled())
        std::printf("  * still changing in the last %d ms of some runs\n", kSettledMs);
    XCloseDisplay(dpy);
    busDaemon.terminate();
    busDaemon.waitForFinished(5000);
    return 0;
}
