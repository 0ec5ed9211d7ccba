// romwriter's window following the emulated keyboard: what it shows for what
// is plugged in at start, how device events move it, and a keyboard that
// keeps refusing its boot loader.
#include "imagewriter.h"
#include "packetcodec.h"
#include "q3emu.h"
#include "startup.h"
#include "updaterfixture.h"

#include <QSignalSpy>
#include <QtTest>

#include <memory>

using namespace updaterfixture;
using q3emu::Interface;

Q_DECLARE_METATYPE(QList<Interface>)

class TestUpdaterWatch : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void startsFromWhatIsPlugged_data();
    void startsFromWhatIsPlugged();
    void onePlugGivesOneDeviceChange();
    void removalKeepsTheState();
    void bootLoaderRefusedFourTimes();

private:
    std::unique_ptr<ProgramFolder> m_folder;
};

void TestUpdaterWatch::initTestCase()
{
    QVERIFY(romwriter::useGb18030AsLocalEncoding());
}

void TestUpdaterWatch::init()
{
    q3emu::reset(q3emu::Scenario::NoKeyboard);
    q3emu::setReportDelay(std::chrono::microseconds(0));
    m_folder = std::make_unique<ProgramFolder>();
    QVERIFY(
        m_folder->write(QStringLiteral("data.bin"), imagewriter::dataFile(imagewriter::demoImage(0x0202))));
}

void TestUpdaterWatch::cleanup()
{
    m_folder.reset();
}

void TestUpdaterWatch::startsFromWhatIsPlugged_data()
{
    QTest::addColumn<QList<Interface>>("plugged");
    QTest::addColumn<QString>("status");
    QTest::addColumn<int>("deviceIndex");
    QTest::addColumn<int>("updateState");

    QTest::newRow("nothing") << QList<Interface>{} << "Disconnect the Device!" << -1 << 0;
    QTest::newRow("keyboard") << QList<Interface>{Interface::Command, Interface::Event}
                              << "Connected to the Device!" << 0 << 1;
    QTest::newRow("boot loader") << QList<Interface>{Interface::BootLoader} << "Ready To Update!" << 1 << 2;
    QTest::newRow("keyboard and boot loader")
        << QList<Interface>{Interface::Command, Interface::Event, Interface::BootLoader} << "Ready To Update!"
        << 1 << 2;
    QTest::newRow("event interface alone")
        << QList<Interface>{Interface::Event} << "Disconnect the Device!" << -1 << 0;
    QTest::newRow("companion mouse") << QList<Interface>{Interface::Mouse} << "Disconnect the Device!" << -1
                                     << 0;
}

void TestUpdaterWatch::startsFromWhatIsPlugged()
{
    QFETCH(QList<Interface>, plugged);
    QFETCH(QString, status);
    QFETCH(int, deviceIndex);
    QFETCH(int, updateState);

    for (Interface iface : plugged)
        q3emu::plug(iface);
    DebugCapture debug;
    romwriter::Widget w;
    w.show();

    QCOMPARE(updaterfixture::status(w), status);
    QCOMPARE(w.link().runState().deviceIndex, deviceIndex);
    QCOMPARE(w.link().runState().updateState, updateState);
    QCOMPARE(updateButton(w)->isEnabled(), deviceIndex >= 0);
    QVERIFY(exitButton(w)->isEnabled());
    QCOMPARE(debug.count(QStringLiteral("Device %1 0").arg(deviceIndex)), 1);
    // Found by the search at start; nothing has been sent to it.
    QVERIFY(q3emu::trace().empty());
}

void TestUpdaterWatch::onePlugGivesOneDeviceChange()
{
    romwriter::Widget w;
    QSignalSpy changes(&w, &romwriter::Widget::deviceChange);
    QCOMPARE(updaterfixture::status(w), QStringLiteral("Disconnect the Device!"));

    // One "add" per interface.
    plugKeyboard();
    QTRY_COMPARE(updaterfixture::status(w), QStringLiteral("Connected to the Device!"));
    QTest::qWait(300);
    QCOMPARE(changes.count(), 1);
    QCOMPARE(changes.at(0).at(0).toInt(), 0);
    QVERIFY(updateButton(w)->isEnabled());
    QCOMPARE(w.link().runState().updateState, 1);
    QVERIFY(!w.link().entry(0).cmdPath.isEmpty());
}

void TestUpdaterWatch::removalKeepsTheState()
{
    plugKeyboard();
    romwriter::Widget w;
    QSignalSpy changes(&w, &romwriter::Widget::deviceChange);
    QCOMPARE(w.link().runState().updateState, 1);

    q3emu::unplug(Interface::Command);
    QTRY_COMPARE(changes.count(), 1);
    QCOMPARE(changes.at(0).at(0).toInt(), -1);
    QCOMPARE(w.link().runState().deviceIndex, -1);
    // A removal alone changes no state: the keyboard may be on its way into
    // the boot loader.
    QCOMPARE(w.link().runState().updateState, 1);
    QVERIFY(updateButton(w)->isEnabled());

    // Without the keyboard, "Update" only tries again later.
    QTest::mouseClick(updateButton(w), Qt::LeftButton);
    QVERIFY(w.isRunPending());
    QVERIFY(commandsSent(packet::kBootLoaderCommand).empty());

    q3emu::plug(Interface::Command);
    QTRY_COMPARE(w.link().runState().deviceIndex, 0);
    QCOMPARE(changes.count(), 2);
    QCOMPARE(w.link().runState().updateState, 1);
}

void TestUpdaterWatch::bootLoaderRefusedFourTimes()
{
    plugKeyboard();
    romwriter::Widget w;
    w.show();
    q3emu::refuseBootLoaderEntry(4);
    q3emu::clearTrace();

    QTest::mouseClick(updateButton(w), Qt::LeftButton);

    QCOMPARE(w.link().runState().updateState, 1);
    QVERIFY(updateButton(w)->isEnabled());
    QCOMPARE(updaterfixture::status(w), QStringLiteral("Enter the bootloader mode..."));
    QCOMPARE(progressBar(w)->value(), 1);
    QCOMPARE(q3emu::state().mode, q3emu::Mode::Normal);

    const auto entries = commandsSent(packet::kBootLoaderCommand);
    const auto queries = commandsSent(packet::kBootLoaderStatusQuery);
    QCOMPARE(entries.size(), size_t(4));
    QCOMPARE(queries.size(), size_t(4));
    for (size_t i = 0; i < entries.size(); ++i) {
        const std::vector<uint8_t> expected = {0x00, 0x0F, 0x51, 0x33, 0x42, 0x4F, 0x4F, 0x54, 0xA5};
        QCOMPARE(entries[i].bytes, expected);
        const std::vector<uint8_t> query = {0x00, 0x8F, 0, 0, 0, 0, 0, 0, 0x70};
        QCOMPARE(queries[i].bytes, query);
        // Two 64 ms acknowledgement steps and 30 ms before the query; 300 ms
        // after a refusal before the next try.
        QVERIFY2(msBetween(entries[i].time, queries[i].time) >= 128 + 30,
                 qPrintable(QString::number(msBetween(entries[i].time, queries[i].time))));
        if (i + 1 < entries.size())
            QVERIFY(msBetween(queries[i].time, entries[i + 1].time) >= 300);
    }
}

QTEST_MAIN(TestUpdaterWatch)
#include "tst_updaterwatch.moc"
