// Start-up of the real gearpanel on the emulated keyboard: the time from
// starting the process until QML's initUI has run, and the resident memory
// once the window is up. Run under an X server (xvfb-run).
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

long residentKiB(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 10;
    std::vector<double> startMs;
    std::vector<long> rss;

    for (int i = 0; i < runs; ++i) {
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(Q3EMU_LIBRARY));
        env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("gearpanel.qml.debug=true"));
        program.setProcessEnvironment(env);
        program.setProcessChannelMode(QProcess::MergedChannels);

        QElapsedTimer clock;
        clock.start();
        program.start(QStringLiteral(GEARPANEL_PROGRAM), QStringList());
        QByteArray output;
        bool ready = false;
        while (!ready && clock.elapsed() < 30000 && program.state() != QProcess::NotRunning) {
            program.waitForReadyRead(50);
            output += program.readAll();
            ready = output.contains("initUI");
        }
        if (!ready) {
            std::fprintf(stderr, "run %d: initUI was not reached\n%s\n", i, output.constData());
            return 1;
        }
        startMs.push_back(clock.nsecsElapsed() / 1e6);
        QThread::msleep(1000);
        rss.push_back(residentKiB(program.processId()));
        program.terminate();
        program.waitForFinished(10000);
    }

    std::sort(startMs.begin(), startMs.end());
    std::sort(rss.begin(), rss.end());
    std::printf("gearpanel start to QML initUI (%d runs): median %.1f ms, min %.1f ms, max %.1f ms\n", runs,
                startMs[startMs.size() / 2], startMs.front(), startMs.back());
    std::printf("resident memory 1 s after initUI: median %ld KiB (%.1f MiB), max %ld KiB\n",
                rss[rss.size() / 2], rss[rss.size() / 2] / 1024.0, rss.back());
    return 0;
}
