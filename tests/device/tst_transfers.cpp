// How commands travel: data phases split into reports, the pauses, which
// thread runs a transfer, one command at a time on the link, and what each
// kind of failure leaves behind (link state, caller's values, device path).
#include "linkfixture.h"

#include "devinfo.h"

#include <QtTest>

#include <functional>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

namespace {

using Bytes = std::vector<uint8_t>;
using Kind = q3emu::TraceEntry::Kind;
using q3emu::Interface;

Bytes pattern(int size, int seed)
{
    Bytes out(size);
    for (int i = 0; i < size; ++i)
        out[i] = static_cast<uint8_t>(seed + 37 * i);
    return out;
}

const Bytes kMatrixHalf = pattern(128, 0x11);

std::vector<q3emu::TraceEntry> commandTrace()
{
    std::vector<q3emu::TraceEntry> out;
    for (const auto &e : q3emu::trace())
        if (e.iface == Interface::Command)
            out.push_back(e);
    return out;
}

std::vector<q3emu::TraceEntry> commandTrace(Kind kind)
{
    std::vector<q3emu::TraceEntry> out;
    for (const auto &e : commandTrace())
        if (e.kind == kind)
            out.push_back(e);
    return out;
}

// The command interface's traffic in short: "F0C" for a feature report sent
// with command 0C, "O" output, "R" feature read, "I" input report.
QString outline()
{
    QStringList parts;
    for (const auto &e : commandTrace()) {
        switch (e.kind) {
        case Kind::FeatureSent:
            parts << "F" + fixture::hex({e.bytes.at(1)});
            break;
        case Kind::Output:
            parts << "O";
            break;
        case Kind::FeatureRead:
            parts << "R";
            break;
        case Kind::Input:
            parts << "I";
            break;
        }
    }
    return parts.join(' ');
}

void setMatrixHalf(const Bytes &half)
{
    q3emu::KeyboardState s = q3emu::state();
    std::copy(half.begin(), half.end(), s.profiles[s.activeProfile].keyMatrix);
    q3emu::setState(s);
}

// A link whose keyboard row carries `reportLength` instead of the shipped
// value: the shipped description with that one line changed, loaded from a
// file in `dir`. Null when the description could not be prepared.
std::unique_ptr<Hid_Thread> linkWithReportLength(const QTemporaryDir &dir, unsigned reportLength)
{
    auto link = fixture::makeLink();
    QFile shipped(kDevInfoResource);
    if (!shipped.open(QIODevice::ReadOnly))
        return nullptr;
    QString text = QString::fromUtf8(shipped.readAll());
    const int keyboard = text.indexOf("[0]");
    const int line = text.indexOf("reportLength=64", keyboard);
    if (keyboard < 0 || line < 0)
        return nullptr;
    text.replace(line, int(qstrlen("reportLength=64")), QString("reportLength=%1").arg(reportLength));

    const QString path = dir.filePath("DevInfo.ini");
    QFile custom(path);
    if (!custom.open(QIODevice::WriteOnly) || custom.write(text.toUtf8()) < 0)
        return nullptr;
    custom.close();

    const DevInfo info = loadDevInfo(path, {"Q3", "Q4"});
    link->setDeviceList(info.records);
    link->swichCurDevice(0);
    q3emu::clearTrace();
    const DeviceEntry *row = link->device(0);
    if (!row || row->reportLength() != reportLength || row->cmdPath().isEmpty())
        return nullptr;
    return link;
}

struct Failure {
    const char *name;
    std::function<void()> inject;
    std::function<void(Hid_Thread &)> issue;
    int outputs; // output reports that must have gone out, -1: not checked
};

const std::vector<Failure> &failures()
{
    static Bytes block = kMatrixHalf;
    static const std::vector<Failure> cases = {
        {"feature send of a write", [] { q3emu::failFeatureSend(1); },
         [](Hid_Thread &l) { l.hid_21H_SetCurrentProfile(1); }, 0},
        {"feature send of a bulk write", [] { q3emu::failFeatureSend(1); },
         [](Hid_Thread &l) { l.hid_0CH_SetKeyMatrix_1(block.data()); }, 0},
        {"second output report", [] { q3emu::failOutputWrite(1, 1); },
         [](Hid_Thread &l) { l.hid_0CH_SetKeyMatrix_1(block.data()); }, -1},
        {"feature read", [] { q3emu::failFeatureRead(1); },
         [](Hid_Thread &l) { l.hid_8CH_GetKeyMatrix_1(block.data()); }, 0},
        {"input report", [] { q3emu::failInputRead(0, 1); },
         [](Hid_Thread &l) { l.hid_8CH_GetKeyMatrix_1(block.data()); }, 0},
    };
    return cases;
}

// Short reads with the values their caller passes in, and what the caller
// must hold after a failed exchange.
struct ShortRead {
    const char *name;
    std::function<Bytes(Hid_Thread &)> read;
    Bytes afterFailure;
};

const std::vector<ShortRead> &shortReads()
{
    static const std::vector<ShortRead> cases = {
        {"80H",
         [](Hid_Thread &l) {
             ushort version = 0x1234;
             uchar mode = 7;
             l.hid_80H_GetFWVersion(version, mode);
             return Bytes{uint8_t(version >> 8), uint8_t(version & 0xFF), mode};
         },
         {0x12, 0x34, 7}},
        {"82H",
         [](Hid_Thread &l) {
             uchar b1 = 1, b2 = 2, b3 = 3;
             l.hid_82H_GetKeyboardoption(b1, b2, b3);
             return Bytes{b1, b2, b3};
         },
         {1, 2, 3}},
        {"84H",
         [](Hid_Thread &l) {
             uchar sens = 0x33;
             l.hid_84H_GetButtonSensitivity(sens);
             return Bytes{sens};
         },
         {0x33}},
        {"88H",
         [](Hid_Thread &l) {
             uchar v[6] = {9, 8, 7, 6, 5, 4};
             l.hid_88H_GetLEDType(v[0], v[1], v[2], v[3], v[4], v[5]);
             return Bytes(v, v + 6);
         },
         {9, 8, 7, 6, 5, 4}},
        // Its answer buffer carries no caller value.
        {"A1H",
         [](Hid_Thread &l) {
             uchar profile = 2;
             l.hid_A1H_GetCurrentProfile(profile);
             return Bytes{profile};
         },
         {0}},
    };
    return cases;
}

// A keyboard whose every value differs from what the short reads pass in.
void setDistinctState()
{
    q3emu::KeyboardState s = q3emu::state();
    s.firmwareVersion = 0x0203;
    s.layoutMode = 1;
    s.options[0] = 0x0A;
    s.options[1] = 0x0B;
    s.options[2] = 0x0C;
    s.sensitivity = 0x19;
    std::fill(std::begin(s.profiles[0].lighting), std::end(s.profiles[0].lighting), 0x11);
    s.activeProfile = 0;
    q3emu::setState(s);
}

struct BulkFault {
    const char *name;
    std::function<void()> inject;
    int arrived; // 64-byte chunks that reach the caller from the keyboard
};

const std::vector<BulkFault> &bulkFaults()
{
    static const std::vector<BulkFault> cases = {
        {"second input report fails", [] { q3emu::failInputRead(1, 1); }, 1},
        {"first input report fails", [] { q3emu::failInputRead(0, 1); }, 0},
        {"keyboard sends no data phase", [] { q3emu::limitDataPhaseReports(0); }, 0},
        {"keyboard sends one report", [] { q3emu::limitDataPhaseReports(1); }, 1},
    };
    return cases;
}

struct Blocked {
    const char *name;
    std::function<Bytes(Hid_Thread &)> issue; // returns the caller's outputs
    const char *line;
    Bytes outputs;
};

const std::vector<Blocked> &blockedCommands()
{
    static const std::vector<Blocked> cases = {
        {"write 0CH",
         [](Hid_Thread &l) {
             Bytes block = kMatrixHalf;
             l.hid_0CH_SetKeyMatrix_1(block.data());
             return Bytes{};
         },
         "cmd Failed 0C",
         {}},
        // Unlike a failed exchange, an unclaimed link leaves A1H's output alone.
        {"read A1H",
         [](Hid_Thread &l) {
             uchar profile = 2;
             l.hid_A1H_GetCurrentProfile(profile);
             return Bytes{profile};
         },
         "cmd Failed",
         {2}},
        {"bulk read B0H",
         [](Hid_Thread &l) {
             Bytes palette(64, 0xEE);
             l.hid_B0H_GetSevenColor(palette.data());
             return palette;
         },
         "cmd Failed", Bytes(64, 0xEE)},
    };
    return cases;
}

template <typename Case> void addIndexRows(const std::vector<Case> &cases)
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < int(cases.size()); ++i)
        QTest::newRow(cases[i].name) << i;
}

} // namespace

class TestTransfers : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void dataPhaseSplitsIntoReports_data();
    void dataPhaseSplitsIntoReports();
    void writeReturnsAfterItsPause_data();
    void writeReturnsAfterItsPause();
    void transfersRunOnTheirThreads();
    void commandsWaitForTheTransferBefore();

    void heldLinkGivesUp_data() { addIndexRows(blockedCommands()); }
    void heldLinkGivesUp();
    void noKeyboardReturnsPromptly();
    void failedOpenForgetsThePath_data();
    void failedOpenForgetsThePath();
    void shortReadFailureKeepsValues_data();
    void shortReadFailureKeepsValues();
    void bulkReadKeepsWhatArrived_data() { addIndexRows(bulkFaults()); }
    void bulkReadKeepsWhatArrived();
    void shortInputReportsAreZeroFilled_data();
    void shortInputReportsAreZeroFilled();
    void failedTransferLeavesLinkIdle_data() { addIndexRows(failures()); }
    void failedTransferLeavesLinkIdle();
    void destroyingWaitsForRunningWrite();
};

void TestTransfers::initTestCase()
{
    QLoggingCategory::setFilterRules("gearpanel.*.debug=true");
}

void TestTransfers::cleanup()
{
    q3emu::clearFaults();
}

void TestTransfers::dataPhaseSplitsIntoReports_data()
{
    QTest::addColumn<int>("reportLength");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("reports");
    QTest::newRow("128 bytes at 64") << 64 << 128 << 2;
    QTest::newRow("64 bytes at 64") << 64 << 64 << 1;
    QTest::newRow("128 bytes at 32") << 32 << 128 << 4;
    QTest::newRow("64 bytes at 100, padded") << 100 << 64 << 1;
    QTest::newRow("128 bytes at 100, last padded") << 100 << 128 << 2;
}

void TestTransfers::dataPhaseSplitsIntoReports()
{
    QFETCH(int, reportLength);
    QFETCH(int, size);
    QFETCH(int, reports);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    auto link = reportLength == 64 ? fixture::makeLink() : linkWithReportLength(dir, reportLength);
    QVERIFY(link);

    Bytes data = pattern(size, 0x21);
    if (size == 128)
        link->hid_0CH_SetKeyMatrix_1(data.data());
    else
        link->hid_30H_SetSevenColor(data.data());
    QVERIFY(fixture::waitUntilIdle(*link));

    const auto out = commandTrace(Kind::Output);
    QCOMPARE(int(out.size()), reports);
    const int chunk = std::min(size, reportLength);
    for (int r = 0; r < reports; ++r) {
        Bytes expected(reportLength + 1, 0);
        const int from = r * chunk, to = std::min(size, from + chunk);
        std::copy(data.begin() + from, data.begin() + to, expected.begin() + 1);
        QCOMPARE(fixture::hex(out[r].bytes), fixture::hex(expected));
        if (r > 0)
            QVERIFY2(out[r].time - out[r - 1].time >= 8ms, qPrintable(QString("report %1").arg(r)));
    }
}

void TestTransfers::writeReturnsAfterItsPause_data()
{
    QTest::addColumn<int>("scenario");
    QTest::newRow("keyboard") << int(q3emu::Scenario::Keyboard);
    QTest::newRow("no keyboard") << int(q3emu::Scenario::NoKeyboard);
}

void TestTransfers::writeReturnsAfterItsPause()
{
    QFETCH(int, scenario);
    auto link = fixture::makeLink(q3emu::Scenario(scenario));
    QElapsedTimer timer;
    timer.start();
    link->hid_21H_SetCurrentProfile(1);
    QVERIFY(timer.nsecsElapsed() >= 8'000'000);
    QVERIFY(fixture::waitUntilIdle(*link));
}

void TestTransfers::transfersRunOnTheirThreads()
{
    auto link = fixture::makeLink();
    const std::thread::id caller = std::this_thread::get_id();

    Bytes block = kMatrixHalf;
    link->hid_0CH_SetKeyMatrix_1(block.data());
    QVERIFY(fixture::waitUntilIdle(*link));
    QCOMPARE(outline(), QString("F0C O O"));
    for (const auto &e : commandTrace())
        QVERIFY(e.thread != caller);

    q3emu::clearTrace();
    link->hid_8CH_GetKeyMatrix_1(block.data());
    QCOMPARE(outline(), QString("F8C R I I"));
    for (const auto &e : commandTrace())
        QVERIFY(e.thread == caller);
}

void TestTransfers::commandsWaitForTheTransferBefore()
{
    // At 1 ms per report each data phase outlasts the caller's 8 ms pause.
    auto link = fixture::makeLink(q3emu::Scenario::Keyboard, false, nullptr, 1ms);
    Bytes first = pattern(128, 1), second = pattern(128, 2);
    link->hid_0CH_SetKeyMatrix_1(first.data());
    link->hid_0DH_SetKeyMatrix_2(second.data());
    Bytes back(128, 0xEE);
    link->hid_8CH_GetKeyMatrix_1(back.data());

    QCOMPARE(outline(), QString("F0C O O F0D O O F8C R I I"));
    QCOMPARE(fixture::hex(back), fixture::hex(first));
    const q3emu::KeyboardState s = q3emu::state();
    QCOMPARE(fixture::hex(Bytes(s.profiles[0].keyMatrix + 128, s.profiles[0].keyMatrix + 256)),
             fixture::hex(second));
}

void TestTransfers::heldLinkGivesUp()
{
    QFETCH(int, index);
    const Blocked &c = blockedCommands()[index];
    auto link = fixture::makeLink();
    q3emu::stopAnswering(4000ms); // the write's feature send blocks that long
    link->hid_04H_SetButtonSensitivity(1);
    fixture::DebugCapture capture;
    QElapsedTimer timer;
    timer.start();
    const Bytes outputs = c.issue(*link);
    // 255 claim attempts, 8 ms apart.
    QVERIFY(timer.elapsed() >= 2000);
    QCOMPARE(capture.count(c.line), 1);
    QCOMPARE(fixture::hex(outputs), fixture::hex(c.outputs));

    q3emu::clearFaults();
    QVERIFY(fixture::waitUntilIdle(*link));
    for (const auto &e : commandTrace()) {
        QVERIFY(e.kind == Kind::FeatureSent);
        QCOMPARE(int(e.bytes.at(1)), 0x04);
    }

    // The link is free again.
    uchar sens = 0x33;
    link->hid_84H_GetButtonSensitivity(sens);
    QCOMPARE(int(sens), int(q3emu::state().sensitivity));
}

void TestTransfers::noKeyboardReturnsPromptly()
{
    auto link = fixture::makeLink(q3emu::Scenario::NoKeyboard);
    QVERIFY(link->device(0));
    QVERIFY(link->device(0)->cmdPath().isEmpty());

    Bytes block = pattern(128, 3);
    ushort version = 0x1234;
    uchar mode = 7, b1 = 1, b2 = 2, b3 = 3, sens = 0x33, profile = 2;
    uchar led[6] = {9, 8, 7, 6, 5, 4};
    Bytes m1(128, 0xC1), m2(128, 0xC2), macro(128, 0xC3), picture(128, 0xC4), palette(64, 0xC5);

    QElapsedTimer timer;
    timer.start();
    link->hid_02H_SetKeyboardoption(1, 2, 3);
    link->hid_04H_SetButtonSensitivity(4);
    link->hid_08H_SetLEDType(1, 2, 3, 4, 5, 6);
    link->hid_09H_StopMacroSending();
    link->hid_0CH_SetKeyMatrix_1(block.data());
    link->hid_0DH_SetKeyMatrix_2(block.data());
    link->hid_0FH_SetISPBootLoader();
    link->hid_10H_SetMacroKey(5, block.data());
    link->hid_12H_SetUserPicture(1, 2, block.data());
    link->hid_13H_SetRecoveryData();
    link->hid_21H_SetCurrentProfile(2);
    link->hid_30H_SetSevenColor(block.data());
    link->hid_80H_GetFWVersion(version, mode);
    link->hid_82H_GetKeyboardoption(b1, b2, b3);
    link->hid_84H_GetButtonSensitivity(sens);
    link->hid_88H_GetLEDType(led[0], led[1], led[2], led[3], led[4], led[5]);
    link->hid_8CH_GetKeyMatrix_1(m1.data());
    link->hid_8DH_GetKeyMatrix_2(m2.data());
    link->hid_90H_GetMacroKey(5, macro.data());
    link->hid_92H_GetUserPicture(1, 2, picture.data());
    link->hid_A1H_GetCurrentProfile(profile);
    link->hid_B0H_GetSevenColor(palette.data());
    // Claiming a free link is instant, so nothing comes near the 2 s give-up.
    QVERIFY2(timer.elapsed() < 1500, qPrintable(QString::number(timer.elapsed())));
    QVERIFY(fixture::waitUntilIdle(*link));

    QCOMPARE(int(version), 0x1234);
    QCOMPARE(int(mode), 7);
    QCOMPARE(fixture::hex({b1, b2, b3}), QString("01 02 03"));
    QCOMPARE(int(sens), 0x33);
    QCOMPARE(fixture::hex(Bytes(led, led + 6)), QString("09 08 07 06 05 04"));
    QCOMPARE(fixture::hex(m1), fixture::hex(Bytes(128, 0xC1)));
    QCOMPARE(fixture::hex(m2), fixture::hex(Bytes(128, 0xC2)));
    QCOMPARE(fixture::hex(macro), fixture::hex(Bytes(128, 0xC3)));
    QCOMPARE(fixture::hex(picture), fixture::hex(Bytes(128, 0xC4)));
    QCOMPARE(int(profile), 0);
    QCOMPARE(fixture::hex(palette), fixture::hex(Bytes(64, 0xC5)));
    QVERIFY(q3emu::trace().empty());
}

void TestTransfers::failedOpenForgetsThePath_data()
{
    QTest::addColumn<bool>("inWrite");
    QTest::newRow("open fails in a write") << true;
    QTest::newRow("open fails in a read") << false;
}

void TestTransfers::failedOpenForgetsThePath()
{
    QFETCH(bool, inWrite);
    auto link = fixture::makeLink();
    setDistinctState();
    q3emu::failOpen(Interface::Command, 1);

    if (inWrite) {
        link->hid_04H_SetButtonSensitivity(5);
        QVERIFY(fixture::waitUntilIdle(*link));
    } else {
        uchar sens = 0x33;
        link->hid_84H_GetButtonSensitivity(sens);
        QCOMPARE(int(sens), 0x33);
    }
    QVERIFY(link->device(0)->cmdPath().isEmpty());

    // Opening would work now, but the keyboard counts as gone for good.
    link->hid_04H_SetButtonSensitivity(6);
    QVERIFY(fixture::waitUntilIdle(*link));
    uchar sens = 0x44;
    link->hid_84H_GetButtonSensitivity(sens);
    QCOMPARE(int(sens), 0x44);
    QVERIFY(commandTrace().empty());
    QCOMPARE(int(q3emu::state().sensitivity), 0x19);
}

void TestTransfers::shortReadFailureKeepsValues_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("sendFails");
    for (bool sendFails : {true, false})
        for (int i = 0; i < int(shortReads().size()); ++i)
            QTest::addRow("%s, %s fails", shortReads()[i].name, sendFails ? "send" : "answer")
                << i << sendFails;
}

void TestTransfers::shortReadFailureKeepsValues()
{
    QFETCH(int, index);
    QFETCH(bool, sendFails);
    const ShortRead &c = shortReads()[index];
    auto link = fixture::makeLink();
    setDistinctState();
    if (sendFails)
        q3emu::failFeatureSend(1);
    else
        q3emu::failFeatureRead(1);

    QCOMPARE(fixture::hex(c.read(*link)), fixture::hex(c.afterFailure));
    QVERIFY(link->isLinkIdle());
}

void TestTransfers::bulkReadKeepsWhatArrived()
{
    QFETCH(int, index);
    const BulkFault &c = bulkFaults()[index];
    auto link = fixture::makeLink();
    setMatrixHalf(kMatrixHalf);
    c.inject();

    const Bytes mine = pattern(128, 0x99);
    Bytes buffer = mine;
    QElapsedTimer timer;
    timer.start();
    link->hid_8CH_GetKeyMatrix_1(buffer.data());
    QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));

    Bytes expected = mine;
    std::copy(kMatrixHalf.begin(), kMatrixHalf.begin() + 64 * c.arrived, expected.begin());
    QCOMPARE(fixture::hex(buffer), fixture::hex(expected));
    QVERIFY(link->isLinkIdle());

    // Nothing left over from the broken data phase reaches the next read.
    q3emu::clearFaults();
    Bytes again(128, 0xEE);
    link->hid_8CH_GetKeyMatrix_1(again.data());
    QCOMPARE(fixture::hex(again), fixture::hex(kMatrixHalf));
}

void TestTransfers::shortInputReportsAreZeroFilled_data()
{
    QTest::addColumn<int>("fromReport");
    QTest::newRow("every report short") << 0;
    // A full report before a short one: leftovers of the first must not
    // show through in the second.
    QTest::newRow("second report short") << 1;
}

void TestTransfers::shortInputReportsAreZeroFilled()
{
    QFETCH(int, fromReport);
    auto link = fixture::makeLink();
    setMatrixHalf(kMatrixHalf);
    q3emu::setInputReportLength(20, fromReport);

    Bytes buffer(128, 0xEE);
    link->hid_8CH_GetKeyMatrix_1(buffer.data());

    const auto inputs = commandTrace(Kind::Input);
    QCOMPARE(int(inputs.size()), 2);
    QCOMPARE(int(inputs[1].bytes.size()), 20);
    Bytes expected;
    for (const auto &in : inputs) {
        Bytes chunk = in.bytes;
        chunk.resize(64, 0);
        expected.insert(expected.end(), chunk.begin(), chunk.end());
    }
    QCOMPARE(fixture::hex(buffer), fixture::hex(expected));
    QCOMPARE(int(buffer[64 + 20]), 0);
}

void TestTransfers::failedTransferLeavesLinkIdle()
{
    QFETCH(int, index);
    const Failure &c = failures()[index];
    auto link = fixture::makeLink();
    setDistinctState();
    c.inject();

    c.issue(*link);
    QVERIFY(fixture::waitUntilIdle(*link));
    if (c.outputs >= 0)
        QCOMPARE(int(commandTrace(Kind::Output).size()), c.outputs);

    // The next command claims the link and goes through.
    q3emu::clearFaults();
    uchar sens = 0;
    link->hid_84H_GetButtonSensitivity(sens);
    QCOMPARE(int(sens), 0x19);
}

void TestTransfers::destroyingWaitsForRunningWrite()
{
    auto link = fixture::makeLink();
    // Longer than stopping the monitor takes (one 500 ms event read), so the
    // transfer is still running when the destructor gets to it.
    q3emu::stopAnswering(1500ms);
    link->hid_21H_SetCurrentProfile(1);
    link.reset();
    // Had the destructor not waited, the transfer would still hold its handle.
    QCOMPARE(q3emu::openHandleCount(Interface::Command), 0);
    QCOMPARE(q3emu::openHandleCount(Interface::Event), 0);
}

QTEST_GUILESS_MAIN(TestTransfers)
#include "tst_transfers.moc"
