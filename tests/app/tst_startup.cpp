// The real gearpanel as a process under the X server, on the emulated
// keyboard: one copy per program folder, data found from any working
// folder, exit codes. Windows are found by their titles with xdotool.
#include "startupfiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QtTest>

#include <memory>
#include <signal.h>

namespace {

// Runs xdotool and returns its standard output, trimmed.
QString xdotool(const QStringList &args)
{
    QProcess tool;
    tool.start(QStringLiteral("xdotool"), args);
    tool.waitForFinished(10000);
    return QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
}

// The visible window titled exactly `title`, or empty after `timeoutMs`.
QString waitForWindow(const QString &title, int timeoutMs = 30000)
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (elapsed.elapsed() < timeoutMs) {
        const QString ids =
            xdotool({"search", "--onlyvisible", "--name",
                     QLatin1Char('^') + QRegularExpression::escape(title) + QLatin1Char('$')});
        if (!ids.isEmpty())
            return ids.split(QLatin1Char('\n')).first();
        QTest::qWait(100);
    }
    return QString();
}

} // namespace

class tst_Startup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void oneCopyPerFolder();
    void closingFromQmlExitsWithZero();

private:
    // A program folder holding a copy of gearpanel, titled `title`.
    std::unique_ptr<ProgramFolder> makeInstallation(const QString &title);
    // Starts the copy in `folder` from an unrelated working folder.
    std::unique_ptr<QProcess> start(const ProgramFolder &folder);

    QTemporaryDir runtimeDir;
};

void tst_Startup::initTestCase()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        QSKIP("needs an X server (the suite runs under xvfb-run)");
    QFile::setPermissions(runtimeDir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

std::unique_ptr<ProgramFolder> tst_Startup::makeInstallation(const QString &title)
{
    auto folder = std::make_unique<ProgramFolder>();
    if (!writeStartupFiles(*folder, title) ||
        !QFile::copy(QStringLiteral(GEARPANEL_PROGRAM), folder->path(QStringLiteral("gearpanel"))))
        return nullptr;
    return folder;
}

std::unique_ptr<QProcess> tst_Startup::start(const ProgramFolder &folder)
{
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(Q3EMU_LIBRARY));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir.path());
    process->setProcessEnvironment(env);
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->setWorkingDirectory(QDir::rootPath());
    process->start(folder.path(QStringLiteral("gearpanel")), QStringList());
    process->waitForStarted(10000);
    return process;
}

void tst_Startup::oneCopyPerFolder()
{
    const QString titleA = QStringLiteral("gearpanel A %1").arg(QCoreApplication::applicationPid());
    const QString titleB = QStringLiteral("gearpanel B %1").arg(QCoreApplication::applicationPid());
    auto folderA = makeInstallation(titleA);
    auto folderB = makeInstallation(titleB);
    QVERIFY(folderA && folderB);

    // No font file and a working folder elsewhere: the title still comes
    // from the folder's own configuration.
    auto first = start(*folderA);
    QVERIFY(!waitForWindow(titleA).isEmpty());

    auto second = start(*folderA);
    QVERIFY(second->waitForFinished(20000));
    QCOMPARE(second->exitStatus(), QProcess::NormalExit);
    QCOMPARE(second->exitCode(), 1);
    QCOMPARE(first->state(), QProcess::Running);
    QVERIFY(!waitForWindow(titleA, 1000).isEmpty());

    // A copy in another folder is another program.
    auto other = start(*folderB);
    QVERIFY(!waitForWindow(titleB).isEmpty());
    QCOMPARE(first->state(), QProcess::Running);

    // A copy that died leaves its lock behind; it must not block the next.
    ::kill(pid_t(first->processId()), SIGKILL);
    QVERIFY(first->waitForFinished(10000));
    auto restarted = start(*folderA);
    QVERIFY(!waitForWindow(titleA).isEmpty());
    QCOMPARE(restarted->state(), QProcess::Running);

    for (QProcess *p : {restarted.get(), other.get()}) {
        p->terminate();
        p->waitForFinished(10000);
    }
}

void tst_Startup::closingFromQmlExitsWithZero()
{
    const QString title = QStringLiteral("gearpanel C %1").arg(QCoreApplication::applicationPid());
    auto folder = makeInstallation(title);
    QVERIFY(folder);
    auto program = start(*folder);
    const QString id = waitForWindow(title);
    QVERIFY(!id.isEmpty());
    // Let the queued start-up calls and the busy lock pass.
    QTest::qWait(1500);

    // The top menu's close button sits at x 949, centred 15 pixels down.
    xdotool({"mousemove", "--window", id, "964", "15"});
    xdotool({"click", "1"});
    QVERIFY(program->waitForFinished(20000));
    QCOMPARE(program->exitStatus(), QProcess::NormalExit);
    QCOMPARE(program->exitCode(), 0);
}

QTEST_GUILESS_MAIN(tst_Startup)
#include "tst_startup.moc"
