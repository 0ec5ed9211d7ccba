// The whole update on the real window against the emulated keyboard and its
// boot loader: from a click or by itself, what reaches the programming
// library and the flash, and how failed attempts are counted across runs.
#include "firmwareimage.h"
#include "imagewriter.h"
#include "ispcalls.h"
#include "packetcodec.h"
#include "q3emu.h"
#include "startup.h"
#include "updaterfixture.h"

#include <QtTest>

#include <algorithm>
#include <memory>

using namespace updaterfixture;
using q3emu::Interface;

namespace {

constexpr uint16_t kNewVersion = 0x0202;
constexpr int kPages = 128;
constexpr int kPageSize = 512;

std::vector<uint8_t> bytes(const QByteArray &a)
{
    return std::vector<uint8_t>(a.begin(), a.end());
}

} // namespace

class TestUpdaterProcedure : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void bootLoaderPresentProgramsAtOnce();
    void fullUpdateThenNextKeyboardByItself();
    void pageCountZeroSkipsTheLoops();
    void flashBeyond16BitAddressesIsRefused();
    void failuresCountAcrossRetriesAndEndTheRun();

private:
    std::unique_ptr<ProgramFolder> m_folder;
    QByteArray m_raw;
};

void TestUpdaterProcedure::initTestCase()
{
    QVERIFY(romwriter::useGb18030AsLocalEncoding());
    m_raw = imagewriter::demoImage(kNewVersion);
}

void TestUpdaterProcedure::init()
{
    q3emu::reset(q3emu::Scenario::NoKeyboard);
    q3emu::setReportDelay(std::chrono::microseconds(0));
    ispcalls::clear();
    m_folder = std::make_unique<ProgramFolder>();
    QVERIFY(m_folder->write(QStringLiteral("data.bin"), imagewriter::dataFile(m_raw)));
}

void TestUpdaterProcedure::cleanup()
{
    m_folder.reset();
}

void TestUpdaterProcedure::bootLoaderPresentProgramsAtOnce()
{
    q3emu::plug(Interface::BootLoader);
    DebugCapture debug;
    romwriter::Widget w;
    w.show();
    QCOMPARE(updaterfixture::status(w), QStringLiteral("Ready To Update!"));
    ispcalls::clear();

    QTest::mouseClick(updateButton(w), Qt::LeftButton);

    // The click ran the whole procedure.
    QCOMPARE(updaterfixture::status(w), QStringLiteral("Update Success!"));
    QCOMPARE(debug.count(QStringLiteral("Update Success")), 1);
    QCOMPARE(w.link().runState().updateState, 3);
    QCOMPARE(progressBar(w)->value(), 3 * kPages + 2);
    QCOMPARE(progressBar(w)->maximum(), 3 * kPages + 2);
    QVERIFY(exitButton(w)->isEnabled());
    QVERIFY(!updateButton(w)->isEnabled());

    // Every call with the arguments the boot loader is driven with, in order.
    QStringList expected = {QStringLiteral("ConnectToBootloader"),
                            QStringLiteral("LoadProgdata %1").arg(m_raw.size()),
                            QStringLiteral("GetMCUInfo")};
    for (int page = 0; page < kPages; ++page)
        expected << QStringLiteral("EraseByPage %1 1 0").arg(page);
    expected << QStringLiteral("BlankCheck 0");
    for (int page = 0; page < kPages; ++page)
        expected << QStringLiteral("PartialProgram %1 %2").arg(page * kPageSize).arg(kPageSize);
    for (int page = 0; page < kPages; ++page)
        expected << QStringLiteral("VerifyByPage %1 1 0").arg(page);
    expected << QStringLiteral("ExecuteProgramFrom 2") << QStringLiteral("LockAll")
             << QStringLiteral("SwitchToUserProgram") << QStringLiteral("DisConnectBootloader");
    QCOMPARE(ispcalls::log(), expected);

    // The flash holds the image the file carried scrambled, the rest erased.
    std::vector<uint8_t> flash = bytes(m_raw);
    flash.resize(kPages * kPageSize, 0xFF);
    QCOMPARE(q3emu::bootLoaderState().flash, flash);
    QVERIFY(q3emu::bootLoaderState().locked);
}

void TestUpdaterProcedure::fullUpdateThenNextKeyboardByItself()
{
    plugKeyboard();
    q3emu::KeyboardState keyboard = q3emu::state();
    const uint16_t oldVersion = keyboard.firmwareVersion;
    QVERIFY(oldVersion != kNewVersion);
    DebugCapture debug;
    romwriter::Widget w;
    w.show();
    QCOMPARE(updaterfixture::status(w), QStringLiteral("Connected to the Device!"));

    QTest::mouseClick(updateButton(w), Qt::LeftButton);
    // The keyboard re-enumerates as its boot loader, which is clicked on.
    QTRY_COMPARE_WITH_TIMEOUT(updaterfixture::status(w), QStringLiteral("Update Success!"), 20000);
    QCOMPARE(progressBar(w)->value(), progressBar(w)->maximum());
    QCOMPARE(q3emu::state().bootLoaderRequests, 1);

    // Back in normal mode with the new firmware; the window waits for the
    // next keyboard and will update it by itself.
    QTRY_COMPARE_WITH_TIMEOUT(w.link().runState().deviceIndex, 0, 5000);
    QCOMPARE(q3emu::state().mode, q3emu::Mode::Normal);
    QCOMPARE(q3emu::state().firmwareVersion, kNewVersion);
    QCOMPARE(w.link().runState().updateState, 0);
    QVERIFY(w.link().runState().autoUpdate);
    QCOMPARE(debug.count(QStringLiteral("Update Success")), 1);

    // The next keyboard, with the old firmware.
    unplugKeyboard();
    QTRY_COMPARE(w.link().runState().deviceIndex, -1);
    keyboard = q3emu::state();
    keyboard.firmwareVersion = oldVersion;
    q3emu::setState(keyboard);
    q3emu::clearTrace();
    const auto plugged = std::chrono::steady_clock::now();
    plugKeyboard();
    QTRY_COMPARE(w.link().runState().updateState, 1);
    const auto found = debug.timeOf(QStringLiteral("Device 0 0"), plugged);
    QVERIFY(found);
    QVERIFY(!updateButton(w)->isEnabled());
    QVERIFY(w.isRunPending());

    QTRY_COMPARE_WITH_TIMEOUT(commandsSent(packet::kBootLoaderCommand).size(), size_t(1), 6000);
    QVERIFY(msBetween(*found, commandsSent(packet::kBootLoaderCommand).front().time) >= 3000);
    QTRY_COMPARE_WITH_TIMEOUT(debug.count(QStringLiteral("Update Success")), 2, 20000);
    QTRY_COMPARE_WITH_TIMEOUT(q3emu::state().firmwareVersion, kNewVersion, 5000);
}

void TestUpdaterProcedure::pageCountZeroSkipsTheLoops()
{
    // A library that reports no pages, in front of a blank flash.
    ispcalls::overridePageCount(0);
    q3emu::setFlashGeometry({kPageSize, kPages, 1024});
    q3emu::plug(Interface::BootLoader);
    romwriter::Widget w;
    ispcalls::clear();

    QTest::mouseClick(updateButton(w), Qt::LeftButton);
    ispcalls::overridePageCount(std::nullopt);

    QCOMPARE(updaterfixture::status(w), QStringLiteral("Update Success!"));
    QCOMPARE(ispcalls::count(QStringLiteral("EraseByPage")), 0);
    QCOMPARE(ispcalls::count(QStringLiteral("PartialProgram")), 0);
    QCOMPARE(ispcalls::count(QStringLiteral("VerifyByPage")), 0);
    QCOMPARE(progressBar(w)->value(), 2);
    QCOMPARE(progressBar(w)->maximum(), 2);
    // The verify step still waits its 100 ms.
    const QList<ispcalls::Call> calls = ispcalls::calls();
    const auto at = [&](const char *line) {
        return std::find_if(calls.cbegin(), calls.cend(),
                            [&](const ispcalls::Call &c) { return c.line == line; })
            ->time;
    };
    QVERIFY(msBetween(at("BlankCheck 0"), at("ExecuteProgramFrom 2")) >= 100);
}

void TestUpdaterProcedure::flashBeyond16BitAddressesIsRefused()
{
    // 128 pages of 1024 bytes: page 64 would start at address 0 again.
    q3emu::setFlashGeometry({1024, 128, 1024});
    q3emu::plug(Interface::BootLoader);
    const std::vector<uint8_t> flashBefore = q3emu::bootLoaderState().flash;
    DebugCapture debug;
    romwriter::Widget w;
    ispcalls::clear();

    QTest::mouseClick(updateButton(w), Qt::LeftButton);

    QCOMPARE(debug.count(QStringLiteral("Flash too large")), 1);
    QCOMPARE(ispcalls::count(QStringLiteral("EraseByPage")), 0);
    QCOMPARE(ispcalls::count(QStringLiteral("PartialProgram")), 0);
    QCOMPARE(ispcalls::log().last(), QStringLiteral("DisConnectBootloader"));
    QCOMPARE(w.link().runState().failCount, 1);
    QVERIFY(w.isRunPending());
    QCOMPARE(q3emu::bootLoaderState().flash, flashBefore);
}

void TestUpdaterProcedure::failuresCountAcrossRetriesAndEndTheRun()
{
    q3emu::plug(Interface::BootLoader);
    DebugCapture debug;
    romwriter::Widget w;
    w.show();

    // Two failures, then a success: the count starts again.
    q3emu::failBootLoaderStep(q3emu::BootLoaderStep::Program, 2);
    QTest::mouseClick(updateButton(w), Qt::LeftButton);
    QCOMPARE(w.link().runState().failCount, 1);
    QCOMPARE(w.link().runState().updateState, 2);
    QVERIFY(!updateButton(w)->isEnabled());
    QVERIFY(!exitButton(w)->isEnabled());
    QTRY_COMPARE_WITH_TIMEOUT(w.link().runState().failCount, 2, 8000);
    QTRY_COMPARE_WITH_TIMEOUT(updaterfixture::status(w), QStringLiteral("Update Success!"), 8000);
    QCOMPARE(w.link().runState().failCount, 0);
    QCOMPARE(debug.count(QStringLiteral("Program Error")), 2);

    // Retries come 5 s after the failed attempt was closed.
    const QList<ispcalls::Call> calls = ispcalls::calls();
    std::vector<std::chrono::steady_clock::time_point> closes, connects;
    for (const auto &c : calls) {
        if (c.line == QLatin1String("DisConnectBootloader"))
            closes.push_back(c.time);
        if (c.line == QLatin1String("ConnectToBootloader"))
            connects.push_back(c.time);
    }
    QCOMPARE(connects.size(), size_t(3));
    QVERIFY(msBetween(closes[0], connects[1]) >= 5000);
    QVERIFY(msBetween(closes[1], connects[2]) >= 5000);

    // The next keyboard gets three attempts again; the third failure ends
    // the run.
    QTRY_COMPARE_WITH_TIMEOUT(w.link().runState().updateState, 0, 5000);
    unplugKeyboard();
    QTRY_COMPARE(w.link().runState().deviceIndex, -1);
    q3emu::failBootLoaderStep(q3emu::BootLoaderStep::Verify, 3);
    plugKeyboard();
    QTRY_COMPARE_WITH_TIMEOUT(debug.count(QStringLiteral("Verify Error")), 1, 15000);
    QTRY_COMPARE_WITH_TIMEOUT(updaterfixture::status(w), QStringLiteral("Update Fail!"), 15000);
    QCOMPARE(debug.count(QStringLiteral("Verify Error")), 3);
    QCOMPARE(debug.count(QStringLiteral("Update fail")), 1);
    QCOMPARE(w.link().runState().updateState, -1);
    QVERIFY(!w.link().runState().autoUpdate);
    QVERIFY(!w.isRunPending());
    QVERIFY(!updateButton(w)->isEnabled());
    QVERIFY(exitButton(w)->isEnabled());

    // Nothing moves it any more: neither devices nor the procedure.
    ispcalls::clear();
    q3emu::unplug(Interface::BootLoader);
    plugKeyboard();
    QTRY_COMPARE(w.link().runState().deviceIndex, 0);
    w.updateProc();
    QCOMPARE(w.link().runState().updateState, -1);
    QVERIFY(ispcalls::log().isEmpty());
    QCOMPARE(updaterfixture::status(w), QStringLiteral("Update Fail!"));

    QTest::mouseClick(exitButton(w), Qt::LeftButton);
    QVERIFY(!w.isVisible());
}

QTEST_MAIN(TestUpdaterProcedure)
#include "tst_updaterprocedure.moc"
