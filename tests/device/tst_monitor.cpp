// The monitor task on the event interface: relaying event reports, noticing
// removal, and stopping.
#include "hid_thread.h"
#include "linkfixture.h"

#include <QElapsedTimer>
#include <QtTest>

#include <thread>

using fixture::MonitorEvent;
using q3emu::Interface;
using q3emu::Scenario;

class tst_Monitor : public QObject
{
    Q_OBJECT
private slots:
    void eventReportReachesTheSink();
    void eventsArriveInOrderFromKeyboardKeys();
    void otherLengthsAndSilenceCauseNoCall();
    void unplugIsReportedOnceAndNeverRestarts();
    void noKeyboardEndsAtOnceSilently();
    void stopDuringARead();
    void commandsRunBesideTheMonitor();
};

void tst_Monitor::eventReportReachesTheSink()
{
    fixture::EventRecorder recorder;
    auto link = fixture::makeLink(Scenario::Keyboard, false, &recorder);
    q3emu::emitEventReport({0x04, 2, 0, 0, 5, 3, 1, 0, 0, 0, 0, 0});
    QTRY_COMPARE(recorder.events().size(), size_t(1));
    QVERIFY(recorder.events()[0] == (MonitorEvent{2, 5, 3, 1}));
}

void tst_Monitor::eventsArriveInOrderFromKeyboardKeys()
{
    fixture::EventRecorder recorder;
    auto link = fixture::makeLink(Scenario::Keyboard, false, &recorder);
    q3emu::pressProfileKey(3);
    q3emu::pressLightingKeys(7, 4, 2);
    QTRY_COMPARE(recorder.events().size(), size_t(2));
    QCOMPARE(int(recorder.events()[0].profileNo), 3);
    QVERIFY(recorder.events()[1] == (MonitorEvent{3, 7, 4, 2}));
    QCOMPARE(int(q3emu::state().activeProfile), 3);
}

void tst_Monitor::otherLengthsAndSilenceCauseNoCall()
{
    fixture::EventRecorder recorder;
    auto link = fixture::makeLink(Scenario::Keyboard, false, &recorder);
    q3emu::emitEventReport({0, 2, 0, 0, 5, 3, 1, 0});    // 8 bytes
    q3emu::emitEventReport(std::vector<uint8_t>(16, 1)); // longer than an event report
    q3emu::emitEventReport({});                          // empty
    // Let several 500 ms cycles pass, then show the monitor is still alive.
    QTest::qWait(1600);
    QVERIFY(recorder.events().empty());
    QVERIFY(link->isMonitorRunning());
    q3emu::emitEventReport({0, 1, 0, 0, 2, 3, 4, 0, 0, 0, 0, 0});
    QTRY_COMPARE(recorder.events().size(), size_t(1));
}

void tst_Monitor::unplugIsReportedOnceAndNeverRestarts()
{
    fixture::DebugCapture capture;
    fixture::EventRecorder recorder;
    auto link = fixture::makeLink(Scenario::Keyboard, false, &recorder);
    QVERIFY(link->isMonitorRunning());

    q3emu::unplug(Interface::Event);
    q3emu::unplug(Interface::Command);
    QTRY_VERIFY(!link->isMonitorRunning());
    QCOMPARE(capture.count("Device removed"), 1);
    QVERIFY(link->device(0)->eventPath().isEmpty());

    // Plugging the keyboard back in changes nothing until the next start.
    q3emu::plug(Interface::Command);
    q3emu::plug(Interface::Event);
    q3emu::emitEventReport({0, 2, 0, 0, 5, 3, 1, 0, 0, 0, 0, 0});
    QTest::qWait(1200);
    QVERIFY(!link->isMonitorRunning());
    QCOMPARE(capture.count("Device removed"), 1);
    QVERIFY(recorder.events().empty());
    QCOMPARE(q3emu::openHandleCount(Interface::Event), 0);
}

void tst_Monitor::noKeyboardEndsAtOnceSilently()
{
    fixture::DebugCapture capture;
    auto link = fixture::makeLink(Scenario::NoKeyboard);
    QTRY_VERIFY(!link->isMonitorRunning());
    QVERIFY(!capture.lines().contains("Device removed"));
    QVERIFY(q3emu::trace().empty());
}

void tst_Monitor::stopDuringARead()
{
    auto link = fixture::makeLink(Scenario::Keyboard);
    // Wait until the task sits in its read on an open handle.
    QTRY_COMPARE(q3emu::openHandleCount(Interface::Event), 1);

    QElapsedTimer timer;
    timer.start();
    link->stopMonitor();
    // One cycle is 500 ms; allow for a loaded machine, but not a hang.
    QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
    QVERIFY(!link->isMonitorRunning());
    QCOMPARE(q3emu::openHandleCount(Interface::Event), 0);

    // Nothing left to wait for: the second stop does not wait another cycle.
    timer.restart();
    link->stopMonitor();
    QVERIFY2(timer.elapsed() < 400, qPrintable(QString::number(timer.elapsed())));
}

void tst_Monitor::commandsRunBesideTheMonitor()
{
    fixture::EventRecorder recorder;
    auto link = fixture::makeLink(Scenario::Keyboard, false, &recorder);
    QTRY_COMPARE(q3emu::openHandleCount(Interface::Event), 1);
    // The monitor holds the event interface, never the command link.
    for (uchar p = 0; p < 4; ++p) {
        link->hid_21H_SetCurrentProfile(p);
        uchar got = 9;
        link->hid_A1H_GetCurrentProfile(got);
        QCOMPARE(got, p);
    }
    q3emu::emitEventReport({0, 1, 0, 0, 2, 3, 4, 0, 0, 0, 0, 0});
    QTRY_COMPARE(recorder.events().size(), size_t(1));
    QVERIFY(link->isMonitorRunning());
}

QTEST_GUILESS_MAIN(tst_Monitor)
#include "tst_monitor.moc"
