// Capture in the real gearpanel, started as a process on the emulated
// keyboard: installed after the view has read the layout from the hardware
// definition, removed when the program quits, and a display without RECORD
// leaves the program running without it.
#include "privatexserver.h"
#include "programfolder.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QtTest>

#include <memory>

namespace {

QString xdotool(const QStringList &args, const QString &display)
{
    QProcess tool;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display);
    tool.setProcessEnvironment(env);
    tool.start(QStringLiteral("xdotool"), args);
    tool.waitForFinished(10000);
    return QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
}

QString waitForWindow(const QString &title, const QString &display)
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (elapsed.elapsed() < 30000) {
        const QString ids = xdotool(
            {"search", "--onlyvisible", "--name", QLatin1Char('^') + title + QLatin1Char('$')}, display);
        if (!ids.isEmpty())
            return ids.split(QLatin1Char('\n')).first();
        QTest::qWait(100);
    }
    return QString();
}

} // namespace

class tst_StartupCapture : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void installedWithTheLayoutAndRemovedAtQuit_data();
    void installedWithTheLayoutAndRemovedAtQuit();

private:
    QTemporaryDir runtimeDir;
};

void tst_StartupCapture::initTestCase()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        QSKIP("needs an X server (the suite runs under xvfb-run)");
    QFile::setPermissions(runtimeDir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void tst_StartupCapture::installedWithTheLayoutAndRemovedAtQuit_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<bool>("withRecord");
    QTest::addColumn<QString>("expected");
    // The English keyboard is ANSI (backslash, 0x31), the Spanish one ISO (0x32).
    QTest::newRow("layout 0") << 0 << true << "capture installed, key 0x2B reports 0x31";
    QTest::newRow("layout 1") << 1 << true << "capture installed, key 0x2B reports 0x32";
    QTest::newRow("no RECORD") << 0 << false << "the X server has no RECORD extension";
}

void tst_StartupCapture::installedWithTheLayoutAndRemovedAtQuit()
{
    QFETCH(int, layout);
    QFETCH(bool, withRecord);
    QFETCH(QString, expected);

    // A server of our own: nothing else sees the window or the click.
    PrivateXServer server(withRecord ? QStringList() : QStringList{"-extension", "RECORD"});
    QVERIFY(!server.display().isEmpty());
    ProgramFolder folder;
    const QString title = QStringLiteral("gearpanel capture %1").arg(layout);
    QVERIFY(folder.write(QStringLiteral("modules/setting/apConfig.bin"),
                         "[common]\nname=" + title.toUtf8() + "\ntotal=0\n"));
    QVERIFY(folder.write(QStringLiteral("modules/setting/HWDef.bin"),
                         "[common]\nkbLayoutType=" + QByteArray::number(layout) + "\n"));
    QVERIFY(QFile::copy(QStringLiteral(GEARPANEL_PROGRAM), folder.path(QStringLiteral("gearpanel"))));

    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), server.display());
    env.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(Q3EMU_LIBRARY));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir.path());
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("gearpanel.input.debug=true"));
    program.setProcessEnvironment(env);
    program.setProcessChannelMode(QProcess::MergedChannels);
    program.start(folder.path(QStringLiteral("gearpanel")), QStringList());
    QVERIFY(program.waitForStarted(10000));

    const QString id = waitForWindow(title, server.display());
    QVERIFY2(!id.isEmpty(), "the window opens with or without capture");
    QTest::qWait(1500);
    if (!withRecord) {
        // Such a server has no XTEST either (the two are switched together),
        // so nothing can click; that the window is up and running is it.
        QCOMPARE(program.state(), QProcess::Running);
        program.terminate();
        QVERIFY(program.waitForFinished(20000));
        QVERIFY2(QString::fromUtf8(program.readAll()).contains(expected), qPrintable(expected));
        return;
    }
    // The top menu's close button sits at x 949, centred 15 pixels down.
    xdotool({"mousemove", "--window", id, "964", "15"}, server.display());
    xdotool({"click", "1"}, server.display());
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);

    const QString output = QString::fromUtf8(program.readAll());
    const int installed = output.indexOf(expected);
    QVERIFY2(installed >= 0, qPrintable(output));
    QVERIFY(output.indexOf(QLatin1String("gearpanel.input: capture removed")) > installed);
}

QTEST_GUILESS_MAIN(tst_StartupCapture)
#include "tst_startupcapture.moc"
