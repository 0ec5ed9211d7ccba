// Each way an attempt at programming can fail, on the real window against
// the emulated boot loader: the debug line it leaves, the connection closed,
// and the retry 5 s later that then succeeds.
#include "imagewriter.h"
#include "ispcalls.h"
#include "ispdll.h"
#include "q3emu.h"
#include "startup.h"
#include "updaterfixture.h"

#include <QtTest>

#include <algorithm>
#include <memory>

using namespace updaterfixture;
using q3emu::BootLoaderStep;
using q3emu::Interface;

namespace {

enum class Fault {
    Step,          // the boot loader answers that step with its failure status
    LibraryResult, // the library reports a failure for the call itself
    Garbled,       // an answer arrives corrupted
    Vanish,        // the boot loader is pulled out part way through
};

} // namespace

Q_DECLARE_METATYPE(Fault)
Q_DECLARE_METATYPE(BootLoaderStep)

class TestUpdaterFaults : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void failedAttemptIsRetried_data();
    void failedAttemptIsRetried();

private:
    std::unique_ptr<ProgramFolder> m_folder;
};

void TestUpdaterFaults::initTestCase()
{
    QVERIFY(romwriter::useGb18030AsLocalEncoding());
}

void TestUpdaterFaults::init()
{
    q3emu::reset(q3emu::Scenario::NoKeyboard);
    q3emu::setReportDelay(std::chrono::microseconds(0));
    q3emu::plug(Interface::BootLoader);
    ispcalls::clear();
    m_folder = std::make_unique<ProgramFolder>();
    QVERIFY(
        m_folder->write(QStringLiteral("data.bin"), imagewriter::dataFile(imagewriter::demoImage(0x0202))));
}

void TestUpdaterFaults::cleanup()
{
    m_folder.reset();
    q3emu::clearFaults();
}

void TestUpdaterFaults::failedAttemptIsRetried_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<BootLoaderStep>("step");
    QTest::addColumn<QString>("debugLine"); // empty: the step writes none
    // The calls that end the attempt, before the connection is closed.
    QTest::addColumn<QStringList>("lastCalls");

    const QString load = QStringLiteral("LoadProgdata 32768");
    QTest::newRow("connect") << Fault::Step << BootLoaderStep::Connect << ""
                             << QStringList{"ConnectToBootloader", load};
    QTest::newRow("erase") << Fault::Step << BootLoaderStep::Erase << "Erase Error"
                           << QStringList{"GetMCUInfo", "EraseByPage 0 1 0"};
    QTest::newRow("blank check") << Fault::LibraryResult << BootLoaderStep::BlankCheck << "BlankCheck Error"
                                 << QStringList{"EraseByPage 127 1 0", "BlankCheck 0"};
    QTest::newRow("program") << Fault::Step << BootLoaderStep::Program << "Program Error"
                             << QStringList{"BlankCheck 0", "PartialProgram 0 512"};
    QTest::newRow("verify") << Fault::Step << BootLoaderStep::Verify << "Verify Error"
                            << QStringList{"PartialProgram 65024 512", "VerifyByPage 0 1 0"};
    QTest::newRow("lock") << Fault::Step << BootLoaderStep::Lock << "Lock Error"
                          << QStringList{"ExecuteProgramFrom 2", "LockAll"};
    // LockAll is not called at all then.
    QTest::newRow("execute") << Fault::Step << BootLoaderStep::Execute << "Lock Error"
                             << QStringList{"VerifyByPage 127 1 0", "ExecuteProgramFrom 2"};
    QTest::newRow("garbled answer to connect")
        << Fault::Garbled << BootLoaderStep::Connect << "" << QStringList{"ConnectToBootloader", load};
    // Connect, 128 erases and blank checks, the final blank check, then 11
    // writes per page programmed: the 301st write is page 3's.
    QTest::newRow("boot loader pulled while programming")
        << Fault::Vanish << BootLoaderStep::Program << "Program Error"
        << QStringList{"PartialProgram 1024 512", "PartialProgram 1536 512"};
}

void TestUpdaterFaults::failedAttemptIsRetried()
{
    QFETCH(Fault, fault);
    QFETCH(BootLoaderStep, step);
    QFETCH(QString, debugLine);
    QFETCH(QStringList, lastCalls);

    DebugCapture debug;
    romwriter::Widget w;
    w.show();
    QCOMPARE(updaterfixture::status(w), QStringLiteral("Ready To Update!"));
    ispcalls::clear();
    switch (fault) {
    case Fault::Step:
        q3emu::failBootLoaderStep(step, 1);
        break;
    case Fault::LibraryResult:
        ispcalls::overrideNextResult(QStringLiteral("BlankCheck"), ISP_E_MISMATCH);
        break;
    case Fault::Garbled:
        q3emu::garbleBootLoaderAnswers(1);
        break;
    case Fault::Vanish:
        // Pulled out part way through the pages.
        q3emu::vanishAfterWrites(Interface::BootLoader, 300);
        break;
    }

    QTest::mouseClick(updateButton(w), Qt::LeftButton);

    const QStringList errors = {"Erase Error", "BlankCheck Error", "Program Error", "Verify Error",
                                "Lock Error"};
    for (const QString &line : errors)
        QCOMPARE(debug.count(line), line == debugLine ? 1 : 0);
    QCOMPARE(debug.count(QStringLiteral("Update Success")), 0);
    QStringList calls = ispcalls::log();
    QCOMPARE(calls.takeLast(), QStringLiteral("DisConnectBootloader"));
    QCOMPARE(calls.mid(calls.size() - lastCalls.size()), lastCalls);
    QCOMPARE(w.link().runState().failCount, 1);
    QCOMPARE(w.link().runState().updateState, 2);
    QVERIFY(w.isRunPending());
    QVERIFY(!updateButton(w)->isEnabled());
    QVERIFY(!exitButton(w)->isEnabled());
    const auto closed = ispcalls::calls().last().time;

    if (fault == Fault::Vanish) {
        // It comes back before the retry; the window stays ready for it.
        QTRY_COMPARE(w.link().runState().deviceIndex, -1);
        q3emu::plug(Interface::BootLoader);
        QTRY_COMPARE(w.link().runState().deviceIndex, 1);
        QCOMPARE(w.link().runState().updateState, 2);
    }

    QTRY_COMPARE_WITH_TIMEOUT(updaterfixture::status(w), QStringLiteral("Update Success!"), 15000);
    QCOMPARE(w.link().runState().failCount, 0);
    QVERIFY(exitButton(w)->isEnabled());
    const QList<ispcalls::Call> all = ispcalls::calls();
    const auto retried = std::find_if(all.cbegin(), all.cend(), [&](const ispcalls::Call &c) {
        return c.time > closed && c.line == QLatin1String("ConnectToBootloader");
    });
    QVERIFY(retried != all.cend());
    QVERIFY(msBetween(closed, retried->time) >= 5000);
}

QTEST_MAIN(TestUpdaterFaults)
#include "tst_updaterfaults.moc"
