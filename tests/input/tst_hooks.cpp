// The hook procedures and their tables on synthetic event records, without
// an X server (the test runs with DISPLAY unset, so install() can only
// build the tables).
#include "eventlog.h"
#include "inputhooks.h"
#include "keyrows.h"
#include "keytables.h"

#include <QtTest>

#include <set>

using namespace input;

namespace {

void key(uint32_t message, uint32_t scanCode, uint32_t flags = 0, int code = kHookAction)
{
    keyboardProc(code, message, KeyEventRecord{scanCode, flags});
}

void press(uint32_t scanCode, uint32_t flags = 0)
{
    key(KeyDown, scanCode, flags);
}

void release(uint32_t scanCode, uint32_t flags = 0)
{
    key(KeyUp, scanCode, flags);
}

} // namespace

class tst_Hooks : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void everyRowGivesItsUsage_data();
    void everyRowGivesItsUsage();
    void nothingOutsideTheTableIsReported();
    void heldKeyIsOnePressAndOneRelease_data();
    void heldKeyIsOnePressAndOneRelease();
    void releaseOfKeyNeverSeenDownIsNotReported();
    void keyDownStateOutlivesReinstall();
    void pauseBreakPrintScreenAndNumLock_data();
    void pauseBreakPrintScreenAndNumLock();
    void layoutChoosesHashOrBackslash();
    void recordsOutsideTheRulesAreHarmless();
    void eventsWithoutHandlerAreDropped();
    void mouseMessages_data();
    void mouseMessages();

private:
    InputHooks hooks;
    QStringList log;
};

void tst_Hooks::initTestCase()
{
    QVERIFY2(qEnvironmentVariableIsEmpty("DISPLAY"), "runs without an X server");
    QVERIFY(!hooks.install(false));
    QVERIFY(!InputHooks::isInstalled());
}

void tst_Hooks::init()
{
    log.clear();
    InputHooks::setKeyboardHandler(logKey, &log);
    InputHooks::setMouseHandler(logButton, &log);
}

void tst_Hooks::cleanup()
{
    // Every key a test left down is released, so the next starts clean.
    InputHooks::setKeyboardHandler(nullptr, nullptr);
    for (const KeyRow &row : kKeyRows)
        release(row.scanCode, row.extended ? kExtendedFlag : 0);
    hooks.install(false);
}

void tst_Hooks::everyRowGivesItsUsage_data()
{
    QTest::addColumn<uint>("scanCode");
    QTest::addColumn<bool>("extended");
    QTest::addColumn<int>("usage");
    for (const KeyRow &row : kKeyRows)
        QTest::newRow(row.name) << uint(row.scanCode) << row.extended << int(row.usage);
}

void tst_Hooks::everyRowGivesItsUsage()
{
    QFETCH(uint, scanCode);
    QFETCH(bool, extended);
    QFETCH(int, usage);
    const uint32_t flags = extended ? kExtendedFlag : 0;
    press(scanCode, flags);
    release(scanCode, flags);
    // Under Alt the system messages carry the same keys.
    key(SystemKeyDown, scanCode, flags | kAltDownFlag);
    key(SystemKeyUp, scanCode, flags | kAltDownFlag);
    QCOMPARE(log, tap(uint8_t(usage)) + tap(uint8_t(usage)));
}

void tst_Hooks::nothingOutsideTheTableIsReported()
{
    std::set<std::pair<int, bool>> listed;
    for (const KeyRow &row : kKeyRows)
        listed.insert({row.scanCode, row.extended});
    // Ctrl+Break, which counts as Pause.
    listed.insert({0x46, true});

    for (int scan = 0; scan <= 0xFF; ++scan) {
        for (bool extended : {false, true}) {
            if (listed.count({scan, extended}))
                continue;
            press(uint32_t(scan), extended ? kExtendedFlag : 0);
            release(uint32_t(scan), extended ? kExtendedFlag : 0);
            if (!log.isEmpty())
                QFAIL(qPrintable(QString::asprintf("scan %02X%s gave %s", scan, extended ? " E0" : "",
                                                   qPrintable(log.join(", ")))));
        }
    }
}

void tst_Hooks::heldKeyIsOnePressAndOneRelease_data()
{
    QTest::addColumn<uint>("scanCode");
    QTest::addColumn<uint>("flags");
    QTest::addColumn<uint>("downMessage");
    QTest::addColumn<int>("usage");
    QTest::newRow("A") << 0x1Eu << 0u << KeyDown << 0x04;
    QTest::newRow("right Ctrl") << 0x1Du << kExtendedFlag << KeyDown << 0xE4;
    QTest::newRow("F4 under Alt") << 0x3Eu << kAltDownFlag << SystemKeyDown << 0x3D;
}

void tst_Hooks::heldKeyIsOnePressAndOneRelease()
{
    QFETCH(uint, scanCode);
    QFETCH(uint, flags);
    QFETCH(uint, downMessage);
    QFETCH(int, usage);
    for (int repeat = 0; repeat < 5; ++repeat)
        key(downMessage, scanCode, flags);
    release(scanCode, flags);
    release(scanCode, flags);
    QCOMPARE(log, tap(uint8_t(usage)));
}

void tst_Hooks::releaseOfKeyNeverSeenDownIsNotReported()
{
    // Held since before capture began: its entry is still false.
    release(0x2A);
    QVERIFY(log.isEmpty());
    press(0x2A);
    release(0x2A);
    QCOMPARE(log, tap(0xE1));
}

void tst_Hooks::keyDownStateOutlivesReinstall()
{
    press(0x1E);
    hooks.uninstall();
    QVERIFY(!hooks.install(true));
    press(0x1E);
    release(0x1E);
    QCOMPARE(log, tap(0x04));
}

void tst_Hooks::pauseBreakPrintScreenAndNumLock_data()
{
    QTest::addColumn<uint>("scanCode");
    QTest::addColumn<uint>("flags");
    QTest::addColumn<int>("usage"); // 0: not reported
    QTest::newRow("Pause") << 0x45u << 0u << 0x48;
    QTest::newRow("Ctrl+Break") << 0x46u << kExtendedFlag << 0x48;
    QTest::newRow("Num Lock") << 0x45u << kExtendedFlag << 0x53;
    QTest::newRow("Scroll Lock") << 0x46u << 0u << 0x47;
    QTest::newRow("Print Screen") << 0x37u << kExtendedFlag << 0x46;
    QTest::newRow("Alt+Print Screen") << 0x54u << kAltDownFlag << 0x46;
    QTest::newRow("SysRq without Alt") << 0x54u << 0u << 0;
    QTest::newRow("keypad multiply") << 0x37u << 0u << 0x55;
    QTest::newRow("keypad Enter") << 0x1Cu << kExtendedFlag << 0x58;
    QTest::newRow("Enter") << 0x1Cu << 0u << 0x28;
    QTest::newRow("right Windows") << 0x5Cu << kExtendedFlag << 0;
    QTest::newRow("left Windows") << 0x5Bu << kExtendedFlag << 0xE3;
}

void tst_Hooks::pauseBreakPrintScreenAndNumLock()
{
    QFETCH(uint, scanCode);
    QFETCH(uint, flags);
    QFETCH(int, usage);
    press(scanCode, flags);
    release(scanCode, flags);
    QCOMPARE(log, usage ? tap(uint8_t(usage)) : QStringList());
}

void tst_Hooks::layoutChoosesHashOrBackslash()
{
    QVERIFY(!hooks.install(true));
    QVERIFY(hooks.hashTildeLayout());
    press(0x2B);
    release(0x2B);
    QVERIFY(!hooks.install(false));
    press(0x2B);
    release(0x2B);
    QCOMPARE(log, tap(0x32) + tap(0x31));
}

void tst_Hooks::recordsOutsideTheRulesAreHarmless()
{
    // Scan codes above 0xFF count as 0, which no key has.
    press(0x11E);
    // Only bit 0 of the flags selects the row; the rest do not matter.
    press(0x1E, 0x80 | 0x10);
    // A down message under any hook code but HC_ACTION is a release.
    key(KeyDown, 0x1E, 0, 3);
    // Messages that are neither down message are releases too.
    key(0x102, 0x30);
    QCOMPARE(log, tap(0x04));
}

void tst_Hooks::eventsWithoutHandlerAreDropped()
{
    InputHooks::setKeyboardHandler(nullptr, &log);
    InputHooks::setMouseHandler(nullptr, &log);
    press(0x1E);
    mouseProc(kHookAction, LeftButtonDown, MouseEventRecord{1, 2});
    QVERIFY(log.isEmpty());
    // The press still counted: the key is down, and only its release is new.
    InputHooks::setKeyboardHandler(logKey, &log);
    press(0x1E);
    release(0x1E);
    QCOMPARE(log, QStringList{keyEvent(0x04, false)});
}

void tst_Hooks::mouseMessages_data()
{
    QTest::addColumn<uint>("message");
    QTest::addColumn<QString>("expected"); // empty: not reported
    QTest::newRow("move") << 0x200u << QString();
    QTest::newRow("left down") << 0x201u << "button F0 down -1280,-5";
    QTest::newRow("left up") << 0x202u << "button F0 up -1280,-5";
    QTest::newRow("left double click") << 0x203u << QString();
    QTest::newRow("right down") << 0x204u << "button F1 down -1280,-5";
    QTest::newRow("right up") << 0x205u << "button F1 up -1280,-5";
    QTest::newRow("right double click") << 0x206u << QString();
    QTest::newRow("middle down") << 0x207u << "button F2 down -1280,-5";
    QTest::newRow("middle up") << 0x208u << "button F2 up -1280,-5";
    QTest::newRow("middle double click") << 0x209u << QString();
    QTest::newRow("wheel") << 0x20Au << QString();
    QTest::newRow("extra button down") << 0x20Bu << QString();
    QTest::newRow("extra button up") << 0x20Cu << QString();
    QTest::newRow("horizontal wheel") << 0x20Eu << QString();
    QTest::newRow("below the range") << 0x1FFu << QString();
}

void tst_Hooks::mouseMessages()
{
    QFETCH(uint, message);
    QFETCH(QString, expected);
    // Left of and above the primary screen: the position is passed as it is.
    mouseProc(kHookAction, message, MouseEventRecord{-1280, -5});
    // The mouse procedure holds no state: the same message again is
    // reported again.
    mouseProc(kHookAction, message, MouseEventRecord{-1280, -5});
    QCOMPARE(log, expected.isEmpty() ? QStringList() : (QStringList{expected, expected}));
}

QTEST_GUILESS_MAIN(tst_Hooks)
#include "tst_hooks.moc"
