// Reading the device description and finding the keyboard's interfaces.
#include "devinfo.h"
#include "hid_thread.h"
#include "linkfixture.h"

#include <QtTest>

using q3emu::Interface;
using q3emu::Scenario;

class tst_Discovery : public QObject
{
    Q_OBJECT
private slots:
    void shippedDescription();
    void missingAndMalformedValues();
    void missingTotalAndNames();
    void interfacesFound_data();
    void interfacesFound();
    void connectIsReportedWithRowZero();
    void onlyTheFirstRecordIsMatched();
    void tableReplacementFreesOldRows();
    void unknownRowSelectedEndsMonitorAtOnce();
    void forgottenKeyboardIsNeverOpened();
};

static const QString fixtures = QStringLiteral(FIXTURE_DIR);

void tst_Discovery::shippedDescription()
{
    const DevInfo info = loadDevInfo(kDevInfoResource, {"Keyboard", "Mouse"});
    QCOMPARE(info.isEncode, false);
    QCOMPARE(info.records.size(), 2);

    const DevInfoRecord &kb = info.records[0];
    QCOMPARE(kb.type, 0);
    QCOMPARE(kb.vid, uint16_t(0x04D9));
    QCOMPARE(kb.pid, uint16_t(0xA1CD));
    QCOMPARE(kb.usagePage, uint16_t(0xFF01));
    QCOMPARE(kb.usage, uint16_t(0x0001));
    QCOMPARE(kb.usagePage2, uint16_t(0xFF02));
    QCOMPARE(kb.usage2, uint16_t(0x0001));
    QCOMPARE(kb.lib, QString("unknown"));
    QCOMPARE(kb.name, QString("Keyboard"));
    QCOMPARE(kb.reportLength, 64u);

    const DevInfoRecord &mouse = info.records[1];
    QCOMPARE(mouse.type, 1);
    QCOMPARE(mouse.pid, uint16_t(0xA09F));
    QCOMPARE(mouse.usagePage, uint16_t(0xFF00));
    QCOMPARE(mouse.usage, uint16_t(0xFF00));
    QCOMPARE(mouse.usagePage2, uint16_t(0xFF01));
    QCOMPARE(mouse.usage2, uint16_t(0xFF01));
    QCOMPARE(mouse.name, QString("Mouse"));
    QCOMPARE(mouse.reportLength, 32u);

    // The comment line survives in the compiled document.
    QFile doc(kDevInfoResource);
    QVERIFY(doc.open(QIODevice::ReadOnly));
    QVERIFY(doc.readLine().startsWith("; type 0: Keyboard, type 1: Mouse"));
}

void tst_Discovery::missingAndMalformedValues()
{
    const DevInfo info = loadDevInfo(fixtures + "/devinfo-sparse.ini", {"a", "b", "c"});
    QCOMPARE(info.isEncode, false);
    QCOMPARE(info.records.size(), 3);

    const DevInfoRecord &r0 = info.records[0];
    QCOMPARE(r0.type, -1); // no type key
    QCOMPARE(r0.vid, uint16_t(0x04D9));
    QCOMPARE(r0.pid, uint16_t(0));             // not hexadecimal
    QCOMPARE(r0.usagePage, uint16_t(0xFF01));  // a stray 0x prefix is tolerated
    QCOMPARE(r0.usage, uint16_t(0));           // wider than 16 bits
    QCOMPARE(r0.usagePage2, uint16_t(0xFF02)); // upper case parses
    QCOMPARE(r0.usage2, uint16_t(1));
    QCOMPARE(r0.reportLength, 0u);
    QCOMPARE(r0.lib, QString());

    QCOMPARE(info.records[1].lib, QString("libmouse"));
    QCOMPARE(info.records[2].type, 0); // present but unparsable
    QCOMPARE(info.records[2].vid, uint16_t(0));
}

void tst_Discovery::missingTotalAndNames()
{
    const DevInfo info = loadDevInfo(fixtures + "/devinfo-no-total.ini", {});
    QCOMPARE(info.isEncode, true);
    QVERIFY(info.records.isEmpty());

    const DevInfo shipped = loadDevInfo(kDevInfoResource, {"only one"});
    QCOMPARE(shipped.records[0].name, QString("only one"));
    QCOMPARE(shipped.records[1].name, QString());

    const DevInfo missing = loadDevInfo(fixtures + "/does-not-exist.ini", {});
    QVERIFY(missing.records.isEmpty());
    QCOMPARE(missing.isEncode, false);
}

void tst_Discovery::interfacesFound_data()
{
    QTest::addColumn<Scenario>("scenario");
    QTest::addColumn<int>("cmdFrom");   // -1: empty
    QTest::addColumn<int>("eventFrom"); // -1: empty
    QTest::newRow("both interfaces") << Scenario::Keyboard << int(Interface::Command)
                                     << int(Interface::Event);
    QTest::newRow("command interface only") << Scenario::CommandInterfaceOnly << -1 << -1;
    QTest::newRow("same usage pair twice: last one wins")
        << Scenario::DuplicateCommandUsage << int(Interface::SecondCommand) << int(Interface::Event);
    QTest::newRow("no keyboard") << Scenario::NoKeyboard << -1 << -1;
    QTest::newRow("keyboard and mouse")
        << Scenario::KeyboardAndMouse << int(Interface::Command) << int(Interface::Event);
}

void tst_Discovery::interfacesFound()
{
    QFETCH(Scenario, scenario);
    QFETCH(int, cmdFrom);
    QFETCH(int, eventFrom);

    auto link = fixture::makeLink(scenario);
    QCOMPARE(link->deviceCount(), 2);
    const DeviceEntry *kb = link->device(0);
    const auto expectedPath = [](int iface) {
        return iface < 0 ? QString() : QString::fromStdString(q3emu::pathOf(Interface(iface)));
    };
    QCOMPARE(kb->cmdPath(), expectedPath(cmdFrom));
    QCOMPARE(kb->eventPath(), expectedPath(eventFrom));
    QCOMPARE(kb->reportLength(), 64u);
    QCOMPARE(kb->index(), 0);
    QCOMPARE(kb->type(), 0);

    const DeviceEntry *mouse = link->device(1);
    QCOMPARE(mouse->index(), 1);
    QCOMPARE(mouse->reportLength(), 32u);
    QVERIFY(mouse->cmdPath().isEmpty());
    QVERIFY(mouse->eventPath().isEmpty());
    QVERIFY(link->device(2) == nullptr);
}

void tst_Discovery::connectIsReportedWithRowZero()
{
    fixture::DebugCapture capture;
    auto link = fixture::makeLink(Scenario::Keyboard);
    QCOMPARE(capture.count("Connect 0"), 1);

    capture.clear();
    link = fixture::makeLink(Scenario::CommandInterfaceOnly);
    QCOMPARE(capture.count("Connect 0"), 0);
}

void tst_Discovery::onlyTheFirstRecordIsMatched()
{
    // A description whose second record names the keyboard still leaves that
    // row without paths: records after the first are never matched.
    q3emu::reset(Scenario::Keyboard);
    QList<DevInfoRecord> records = loadDevInfo(kDevInfoResource, {}).records;
    records[1] = records[0];
    Hid_Thread link;
    link.setDeviceList(records);
    QVERIFY(!link.device(0)->cmdPath().isEmpty());
    QVERIFY(link.device(1)->cmdPath().isEmpty());
    QVERIFY(link.device(1)->eventPath().isEmpty());
}

void tst_Discovery::tableReplacementFreesOldRows()
{
    // Replacing the table while the monitor runs on the old one must not
    // leave the task reading freed rows.
    auto link = fixture::makeLink(Scenario::Keyboard);
    QVERIFY(link->isMonitorRunning());
    const QList<DevInfoRecord> records = loadDevInfo(kDevInfoResource, {"x", "y"}).records;
    for (int i = 0; i < 5; ++i) {
        link->setDeviceList(records);
        link->swichCurDevice(0);
    }
    QCOMPARE(link->device(0)->name(), QString("x"));
    QVERIFY(!link->device(0)->eventPath().isEmpty());
}

void tst_Discovery::unknownRowSelectedEndsMonitorAtOnce()
{
    auto link = fixture::makeLink(Scenario::Keyboard);
    link->swichCurDevice(7);
    QTRY_VERIFY(!link->isMonitorRunning());
    QCOMPARE(link->curDid(), 7u);
    uchar sens = 9;
    link->hid_84H_GetButtonSensitivity(sens); // no row: fails at once, value kept
    QCOMPARE(int(sens), 9);
    QVERIFY(link->isLinkIdle());

    Hid_Thread empty;
    empty.swichCurDevice(0);
    QTRY_VERIFY(!empty.isMonitorRunning());
}

void tst_Discovery::forgottenKeyboardIsNeverOpened()
{
    // After a removal no path survives, even one that names an interface
    // again: commands and the monitor open nothing until discovery runs.
    auto link = fixture::makeLink(Scenario::Keyboard);
    QVERIFY(link->isDevicePresent(0));
    link->forgetDevices();
    QVERIFY(!link->isMonitorRunning());
    QVERIFY(!link->isDevicePresent(0));
    QVERIFY(link->device(0)->cmdPath().isEmpty());
    q3emu::clearTrace();
    uchar sens = 9;
    link->hid_84H_GetButtonSensitivity(sens);
    link->swichCurDevice(0);
    QTRY_VERIFY(!link->isMonitorRunning());
    QCOMPARE(int(sens), 9);
    QVERIFY(q3emu::trace().empty());

    // Discovery finds what is there now, and only both interfaces count.
    QString cmd, event;
    const DevInfoRecord keyboard = loadDevInfo(kDevInfoResource, {}).records.value(0);
    q3emu::unplug(Interface::Event);
    Hid_Thread::findInterfaces(keyboard, cmd, event);
    QVERIFY(cmd.isEmpty() && event.isEmpty());
    q3emu::plug(Interface::Event);
    Hid_Thread::findInterfaces(keyboard, cmd, event);
    QCOMPARE(cmd, QString::fromStdString(q3emu::pathOf(Interface::Command)));
    QCOMPARE(event, QString::fromStdString(q3emu::pathOf(Interface::Event)));
}

QTEST_GUILESS_MAIN(tst_Discovery)
#include "tst_discovery.moc"
