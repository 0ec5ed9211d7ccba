// X device events to hook records, on synthetic events: the scan codes of
// the special keys, the Alt flag, repeats and buttons.
#include "keyrows.h"
#include "xeventtranslator.h"

#include <QtTest>

using namespace input;

namespace {

QStringList *g_out = nullptr;

QString messageName(uint32_t message)
{
    switch (message) {
    case KeyDown:
        return QStringLiteral("down");
    case KeyUp:
        return QStringLiteral("up");
    case SystemKeyDown:
        return QStringLiteral("sysdown");
    case SystemKeyUp:
        return QStringLiteral("sysup");
    default:
        return QString::asprintf("%03X", message);
    }
}

// "down 1E", "up 1D E0", "sysdown 54 alt"
void recordKey(uint32_t message, const KeyEventRecord &record)
{
    QString text = messageName(message) + QString::asprintf(" %02X", record.scanCode);
    if (record.flags & kExtendedFlag)
        text += QLatin1String(" E0");
    if (record.flags & kAltDownFlag)
        text += QLatin1String(" alt");
    g_out->append(text);
}

// "201 -3,7"
void recordButton(uint32_t message, const MouseEventRecord &record)
{
    g_out->append(QString::asprintf("%03X %d,%d", message, record.x, record.y));
}

XDeviceEvent keyEvent(bool press, uint16_t linuxCode, uint32_t time = 1000, uint16_t state = 0)
{
    return XDeviceEvent{press ? kXKeyPress : kXKeyRelease, uint8_t(linuxCode + 8), time, state, 0, 0};
}

XDeviceEvent buttonEvent(bool press, uint8_t button, int16_t x = 0, int16_t y = 0)
{
    return XDeviceEvent{press ? kXButtonPress : kXButtonRelease, button, 1000, 0, x, y};
}

} // namespace

using Events = QVector<XDeviceEvent>;
Q_DECLARE_METATYPE(XDeviceEvent)

class tst_XTranslate : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void everyTableKeyHasItsScanCode();
    void conventions_data();
    void conventions();
    void sequences_data();
    void sequences();
    void altIsWhatTheDisplaySays();

private:
    QStringList out;
};

void tst_XTranslate::init()
{
    out.clear();
    g_out = &out;
}

void tst_XTranslate::everyTableKeyHasItsScanCode()
{
    for (const KeyRow &row : kKeyRows) {
        const ScanCode scan = scanCodeForLinuxKey(row.linuxCode);
        QVERIFY2(scan.code == row.scanCode && scan.extended == row.extended, row.name);
    }
}

void tst_XTranslate::conventions_data()
{
    QTest::addColumn<int>("linuxCode");
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("expected"); // of the press; empty: nothing
    const int ctrl = kXControlMask, alt = kXMod1Mask;
    QTest::newRow("Pause") << 119 << 0 << "down 45";
    QTest::newRow("Ctrl+Pause is Ctrl+Break") << 119 << ctrl << "down 46 E0";
    QTest::newRow("Num Lock") << 69 << 0 << "down 45 E0";
    QTest::newRow("Print Screen") << 99 << 0 << "down 37 E0";
    QTest::newRow("Alt+Print Screen is SysRq") << 99 << alt << "sysdown 54 alt";
    QTest::newRow("Ctrl+Print Screen") << 99 << ctrl << "down 37 E0";
    QTest::newRow("right Shift") << 54 << 0 << "down 36 E0";
    QTest::newRow("left Shift") << 42 << 0 << "down 2A";
    QTest::newRow("Alt+F4") << 62 << alt << "sysdown 3E alt";
    QTest::newRow("right Windows") << 126 << 0 << "down 5C E0";
    QTest::newRow("F13") << 183 << 0 << "down 64";
    QTest::newRow("F24") << 194 << 0 << "down 76";
    QTest::newRow("no key 0") << 0 << 0 << QString();
    QTest::newRow("unused 84") << 84 << 0 << QString();
    QTest::newRow("a media key") << 113 << 0 << QString();
    QTest::newRow("highest keycode") << 247 << 0 << QString();
}

void tst_XTranslate::conventions()
{
    QFETCH(int, linuxCode);
    QFETCH(int, state);
    QFETCH(QString, expected);
    XEventTranslator translator(recordKey, recordButton);
    translator.feed(keyEvent(true, uint16_t(linuxCode), 1000, uint16_t(state)));
    QCOMPARE(out, expected.isEmpty() ? QStringList() : QStringList{expected});
}

void tst_XTranslate::sequences_data()
{
    QTest::addColumn<Events>("events");
    QTest::addColumn<QStringList>("expected");
    const int a = 30, b = 48;

    // The server's auto-repeat: release and press of the key at one time.
    QTest::newRow("auto-repeat") << Events{keyEvent(true, a, 100), keyEvent(false, a, 600),
                                           keyEvent(true, a, 600), keyEvent(false, a, 633),
                                           keyEvent(true, a, 633), keyEvent(false, a, 700)}
                                 << QStringList{"down 1E", "down 1E", "down 1E", "up 1E"};
    QTest::newRow("typed twice") << Events{keyEvent(true, a, 100), keyEvent(false, a, 150),
                                           keyEvent(true, a, 151), keyEvent(false, a, 200)}
                                 << QStringList{"down 1E", "up 1E", "down 1E", "up 1E"};
    QTest::newRow("another key at the same time")
        << Events{keyEvent(true, a, 100), keyEvent(false, a, 150), keyEvent(true, b, 150)}
        << QStringList{"down 1E", "up 1E", "down 30"};
    QTest::newRow("two releases at one time")
        << Events{keyEvent(false, a, 150), keyEvent(false, b, 150)} << QStringList{"up 1E", "up 30"};
    QTest::newRow("a click after a release")
        << Events{keyEvent(false, a, 150), buttonEvent(true, 1, 5, 6)} << QStringList{"up 1E", "201 5,6"};
    QTest::newRow("release of a key without scan code, then a repeat pair")
        << Events{keyEvent(false, 113, 150), keyEvent(true, 113, 150), keyEvent(false, a, 160)}
        << QStringList{"up 1E"};

    QTest::newRow("buttons 1 to 3")
        << Events{buttonEvent(true, 1, 10, 20),    buttonEvent(false, 1, 10, 20),
                  buttonEvent(true, 2, -30, 0),    buttonEvent(false, 2, -30, 0),
                  buttonEvent(true, 3, 0, -32768), buttonEvent(false, 3, 0, -32768)}
        << QStringList{"201 10,20", "202 10,20", "207 -30,0", "208 -30,0", "204 0,-32768", "205 0,-32768"};
    QTest::newRow("wheels and extra buttons")
        << Events{buttonEvent(true, 4), buttonEvent(false, 4), buttonEvent(true, 7), buttonEvent(false, 7),
                  buttonEvent(true, 8), buttonEvent(false, 9), buttonEvent(true, 0)}
        << QStringList{"20A 0,0", "20E 0,0", "20B 0,0", "20C 0,0"};
    QTest::newRow("events other than keys and buttons")
        << Events{XDeviceEvent{6, 0, 1000, 0, 5, 5}, XDeviceEvent{0, 30 + 8, 1000, 0, 0, 0}} << QStringList();
}

void tst_XTranslate::sequences()
{
    QFETCH(Events, events);
    QFETCH(QStringList, expected);
    XEventTranslator translator(recordKey, recordButton);
    for (const XDeviceEvent &event : events)
        translator.feed(event);
    translator.flush();
    QVERIFY(!translator.hasPendingRelease());
    QCOMPARE(out, expected);
}

void tst_XTranslate::altIsWhatTheDisplaySays()
{
    // A display whose Alt keys sit on Mod4: Mod1 means nothing there.
    const uint16_t mod4 = 0x40;
    XEventTranslator translator(recordKey, recordButton, mod4);
    translator.feed(keyEvent(true, 99, 1000, kXMod1Mask));
    translator.feed(keyEvent(true, 99, 1001, mod4));
    // A release is held back until it is known not to be a repeat.
    translator.feed(keyEvent(false, 99, 1002, mod4));
    QCOMPARE(out, (QStringList{"down 37 E0", "sysdown 54 alt"}));
    QVERIFY(translator.hasPendingRelease());
    translator.flush();
    QCOMPARE(out.last(), QStringLiteral("sysup 54 alt"));
}

QTEST_GUILESS_MAIN(tst_XTranslate)
#include "tst_xtranslate.moc"
