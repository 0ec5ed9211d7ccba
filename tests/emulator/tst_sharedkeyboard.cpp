// One emulated keyboard for several programs: two programs writing it at
// once lose no write, a plug change or a factory reset made in one reaches
// the others, and a damaged state file is written again by the programs that
// hold the keyboard.
#include "q3emu.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class tst_SharedKeyboard : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void twoWritersLoseNoWrite();
    void unplugInAnotherProgramReachesThisOne();
    void resetIsSeenByEveryProgram();
    void damagedFileIsWrittenAgain();
    void privateUnlessAsked();

private:
    QProcess *writer(const QStringList &arguments);
    QString run(const QStringList &arguments);

    QTemporaryDir dir;
    QString statePath;
};

void tst_SharedKeyboard::initTestCase()
{
    QVERIFY(dir.isValid());
    statePath = dir.filePath(QStringLiteral("keyboard.state"));
    // Before the first call into the emulator, which reads it once.
    qputenv("Q3EMU_STATE", statePath.toLocal8Bit());
    QCOMPARE(QString::fromStdString(q3emu::sharedStatePath()), statePath);
}

void tst_SharedKeyboard::init()
{
    q3emu::reset(q3emu::Scenario::Keyboard);
}

QProcess *tst_SharedKeyboard::writer(const QStringList &arguments)
{
    auto *process = new QProcess(this);
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->start(QStringLiteral(SHAREDWRITER), arguments);
    return process;
}

QString tst_SharedKeyboard::run(const QStringList &arguments)
{
    QProcess *process = writer(arguments);
    if (!process->waitForFinished(30000) || process->exitCode() != 0)
        return QStringLiteral("failed %1").arg(process->exitCode());
    return QString::fromLatin1(process->readAllStandardOutput()).trimmed();
}

void tst_SharedKeyboard::twoWritersLoseNoWrite()
{
    // Each 10H is a feature report and two output reports: the writers'
    // transfers interleave, and this program reads the keyboard meanwhile.
    for (int round = 0; round < 3; ++round) {
        q3emu::reset(q3emu::Scenario::Keyboard);
        QProcess *a = writer({QStringLiteral("macros"), QStringLiteral("0"), QStringLiteral("64")});
        QProcess *b = writer({QStringLiteral("macros"), QStringLiteral("64"), QStringLiteral("64")});
        while (a->state() != QProcess::NotRunning || b->state() != QProcess::NotRunning) {
            (void)q3emu::state();
            QTest::qWait(5);
        }
        QCOMPARE(a->exitCode(), 0);
        QCOMPARE(b->exitCode(), 0);
        const q3emu::KeyboardState s = q3emu::state();
        for (int id = 0; id < 128; ++id) {
            const uint8_t *block = s.profiles[id / q3emu::kMacrosPerProfile].macros[id % q3emu::kMacrosPerProfile];
            QVERIFY2(block[0] == id && block[127] == id, qPrintable(QStringLiteral("macro %1 lost").arg(id)));
        }
    }
}

void tst_SharedKeyboard::unplugInAnotherProgramReachesThisOne()
{
    QVERIFY(q3emu::isPlugged(q3emu::Interface::Command));
    QCOMPARE(run({QStringLiteral("unplug")}), QString());
    QVERIFY(!q3emu::isPlugged(q3emu::Interface::Command));
    QVERIFY(!q3emu::isPlugged(q3emu::Interface::Event));
    q3emu::plug(q3emu::Interface::Command);
    QCOMPARE(run({QStringLiteral("show")}), QStringLiteral("0201 0 1"));
}

void tst_SharedKeyboard::resetIsSeenByEveryProgram()
{
    q3emu::KeyboardState s = q3emu::state();
    s.firmwareVersion = 0x0203;
    s.activeProfile = 2;
    q3emu::setState(s);
    QCOMPARE(run({QStringLiteral("show")}), QStringLiteral("0203 2 1"));
    q3emu::reset(q3emu::Scenario::Keyboard);
    QCOMPARE(run({QStringLiteral("show")}), QStringLiteral("0201 0 1"));
}

void tst_SharedKeyboard::damagedFileIsWrittenAgain()
{
    q3emu::KeyboardState s = q3emu::state();
    s.activeProfile = 1;
    q3emu::setState(s);
    QFile file(statePath);
    QVERIFY(file.open(QIODevice::ReadWrite));
    // An active profile far outside the four, then a file cut short.
    const QByteArray all = file.readAll();
    QByteArray bad = all;
    for (int i = 64; i < bad.size(); i += 97)
        bad[i] = char(0xEE);
    QVERIFY(file.seek(0));
    QVERIFY(file.write(bad) == bad.size());
    file.close();
    // Whatever the bytes say, the other program serves a keyboard.
    QVERIFY(!run({QStringLiteral("show")}).startsWith(QStringLiteral("failed")));

    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QVERIFY(file.write("short") == 5);
    file.close();
    // This program had it mapped: it neither faults nor loses its keyboard.
    QCOMPARE(run({QStringLiteral("show")}), QStringLiteral("0201 1 1"));
    QCOMPARE(int(q3emu::state().activeProfile), 1);
    QVERIFY(q3emu::isPlugged(q3emu::Interface::Command));
}

void tst_SharedKeyboard::privateUnlessAsked()
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("Q3EMU_STATE"), QStringLiteral("private"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(SHAREDWRITER), {QStringLiteral("show")});
    QVERIFY(process.waitForFinished(30000));
    // The writer refuses to run on a keyboard of its own.
    QCOMPARE(process.exitCode(), 3);
}

QTEST_GUILESS_MAIN(tst_SharedKeyboard)
#include "tst_sharedkeyboard.moc"
