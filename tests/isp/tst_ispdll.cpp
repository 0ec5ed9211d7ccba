// libISPDLL against the emulated boot loader, through its C ABI only, as
// romwriter uses it.
#include "firmwareimage.h"
#include "imagewriter.h"
#include "ispdll.h"
#include "q3emu.h"

#include <hidapi.h>

#include <QtTest>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

using namespace std::chrono_literals;
using q3emu::BootLoaderStep;
using q3emu::Interface;
using Bytes = std::vector<uint8_t>;

Q_DECLARE_METATYPE(q3emu::BootLoaderStep)

namespace {

struct Record {
    uint32_t field[9];
};

Record mcuInfo()
{
    Record r{};
    r.field[0] = 36;
    if (!GetMCUInfo(&r))
        r.field[0] = 0;
    return r;
}

Bytes toBytes(const QByteArray &b)
{
    return Bytes(b.begin(), b.end());
}

struct Loaded {
    int result;
    unsigned int length, sum, pages;
    unsigned short format, crc, version;
};

Loaded load(Bytes image)
{
    Loaded l{};
    l.result = LoadProgdata(image.empty() ? nullptr : image.data(), static_cast<unsigned>(image.size()),
                            &l.length, &l.format, &l.sum, &l.crc, &l.pages, &l.version);
    return l;
}

// The keyboard's own answer to 80H, as gearpanel reads it.
int firmwareVersion()
{
    hid_device *cmd = hid_open_path(q3emu::pathOf(Interface::Command).c_str());
    if (!cmd)
        return -1;
    const unsigned char query[9] = {0, 0x80, 0, 0, 0, 0, 0x55, 0xAA, 0};
    unsigned char answer[9] = {0};
    const bool ok =
        hid_send_feature_report(cmd, query, 9) == 9 && hid_get_feature_report(cmd, answer, 9) == 9;
    hid_close(cmd);
    return ok ? (answer[2] << 8) | answer[3] : -1;
}

void intoBootLoader()
{
    q3emu::KeyboardState s = q3emu::state();
    s.mode = q3emu::Mode::BootLoader;
    q3emu::setState(s);
}

// The pages an update touches, as romwriter's procedure runs them.
int program(int pages, int pageSize)
{
    for (int p = 0; p < pages; ++p)
        if (int r = EraseByPage(uint16_t(p), 1, 0))
            return 100 + r;
    if (int r = BlankCheck(0))
        return 200 + r;
    for (int p = 0; p < pages; ++p)
        if (int r = PartialProgram(uint16_t(p * pageSize), uint16_t(pageSize)))
            return 300 + r;
    for (int p = 0; p < pages; ++p)
        if (int r = VerifyByPage(uint16_t(p), 1, 0))
            return 400 + r;
    return 0;
}

} // namespace

class TestIspDll : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        DisConnectBootloader();
        q3emu::reset(q3emu::Scenario::Keyboard);
        q3emu::setReportDelay(0us);
        q3emu::setReenumerationDelay(0ms);
        intoBootLoader();
    }

    void cleanupTestCase() { DisConnectBootloader(); }

    // romwriter asks while its window is built, before any connection.
    void targetGeometryWithoutConnection()
    {
        q3emu::reset(q3emu::Scenario::NoKeyboard);
        const Record r = mcuInfo();
        QCOMPARE(r.field[0], 36u);
        QCOMPARE(r.field[1], 512u);
        QCOMPARE(r.field[2], 128u);
        QCOMPARE(r.field[3], 65536u);
        QCOMPARE(r.field[4], 1024u);
        QCOMPARE(r.field[7], 0u); // not from a connected boot loader

        Record small{};
        small.field[0] = 35;
        QCOMPARE(GetMCUInfo(&small), 0);
        QCOMPARE(small.field[1], 0u);
        QCOMPARE(GetMCUInfo(nullptr), 0);
    }

    void loadProgdata_data()
    {
        QTest::addColumn<QByteArray>("image");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("pages");
        QTest::addColumn<int>("version");
        QTest::newRow("no image") << QByteArray() << ISP_E_NO_IMAGE << 0 << 0;
        QTest::newRow("one byte") << QByteArray(1, 7) << ISP_OK << 1 << 0;
        QTest::newRow("demo 2.03") << imagewriter::demoImage(0x0203) << ISP_OK << 64 << 0x0203;
        QTest::newRow("whole flash") << QByteArray(65536, char(0xFF)) << ISP_OK << 128 << 0;
        QTest::newRow("one byte too many") << QByteArray(65537, 0) << ISP_E_ARGUMENT << 0 << 0;
    }

    void loadProgdata()
    {
        QFETCH(QByteArray, image);
        QFETCH(int, result);
        QFETCH(int, pages);
        QFETCH(int, version);
        QCOMPARE(load(toBytes(imagewriter::demoImage(0x0101))).result, ISP_OK); // one there before

        const Bytes bytes = toBytes(image);
        const Loaded l = load(bytes);
        QCOMPARE(l.result, result);
        if (result != ISP_OK) {
            QCOMPARE(int(l.format), 0);
            QCOMPARE(int(GetChksum(1)), 0); // the earlier image is gone too
            return;
        }
        QCOMPARE(int(l.format), 0x8000);
        QCOMPARE(l.length, unsigned(bytes.size()));
        QCOMPARE(int(l.sum & 0xFFFF), int(GetChksum(1)));
        QCOMPARE(int(l.crc), int(GetChksum(2)));
        QCOMPARE(int(l.pages), pages);
        QCOMPARE(int(l.version), version);
        // The caller's buffer may go: the library keeps its own copy.
        std::vector<uint8_t> scratch = bytes;
        QCOMPARE(LoadProgdata(scratch.data(), unsigned(scratch.size()), nullptr, nullptr, nullptr, nullptr,
                              nullptr, nullptr),
                 ISP_OK);
        const unsigned short sum = GetChksum(1);
        std::fill(scratch.begin(), scratch.end(), 0x5A);
        QCOMPARE(GetChksum(1), sum);
    }

    void checksums_data()
    {
        QTest::addColumn<QByteArray>("image");
        QTest::addColumn<int>("sum");
        QTest::addColumn<int>("crc");
        QTest::newRow("check string") << QByteArray("123456789") << 0x01DD << 0x29B1;
        QTest::newRow("sum wraps at 16 bits") << QByteArray(257, char(0xFF)) + '\x01' << 0x0000 << 0x1416;
        QTest::newRow("zeros") << QByteArray(4, 0) << 0x0000 << 0x84C0;
    }

    void checksums()
    {
        QFETCH(QByteArray, image);
        QFETCH(int, sum);
        QFETCH(int, crc);
        QCOMPARE(load(toBytes(image)).result, ISP_OK);
        QCOMPARE(int(GetChksum(1)), sum);
        QCOMPARE(int(GetChksum(2)), crc);
        QCOMPARE(int(GetChksum(0)), 0);
        QCOMPARE(int(GetChksum(3)), 0);
    }

    // Everything romwriter does for an update, and the keyboard comes back
    // with the image's version.
    void fullUpdate()
    {
        q3emu::setReenumerationDelay(50ms);
        const Bytes image = toBytes(imagewriter::demoImage(0x0203));
        QCOMPARE(load(image).result, ISP_OK);
        QCOMPARE(ConnectToBootloader(), ISP_OK);
        const Record r = mcuInfo();
        QCOMPARE(r.field[7], 1u);
        QCOMPARE(r.field[8], 0x0100u);
        QCOMPARE(r.field[1] * r.field[2], 65536u);
        QVERIFY(q3emu::bootLoaderState().sessionOpen);

        QCOMPARE(program(int(r.field[2]), int(r.field[1])), 0);
        QCOMPARE(ExecuteProgramFrom(2), ISP_OK);
        QCOMPARE(LockAll(), 1);
        q3emu::BootLoaderState bl = q3emu::bootLoaderState();
        Bytes expected = image;
        expected.resize(65536, 0xFF);
        QVERIFY(bl.flash == expected);
        QVERIFY(bl.locked);
        QCOMPARE(mcuInfo().field[6], 0u); // as connected; the lock shows on the next connection

        QCOMPARE(SwitchToUserProgram(), ISP_OK);
        QCOMPARE(DisConnectBootloader(), ISP_OK);
        QTRY_VERIFY(q3emu::isPlugged(Interface::Command));
        QCOMPARE(q3emu::state().mode, q3emu::Mode::Normal);
        QCOMPARE(firmwareVersion(), 0x0203);
        QCOMPARE(q3emu::bootLoaderState().switches, 1);
        QCOMPARE(mcuInfo().field[7], 0u);
    }

    void imageWithoutVersionKeepsTheVersion()
    {
        const Bytes image(1000, 0x11);
        QCOMPARE(load(image).result, ISP_OK);
        QCOMPARE(ConnectToBootloader(), ISP_OK);
        QCOMPARE(program(128, 512), 0);
        QCOMPARE(SwitchToUserProgram(), ISP_OK);
        QTRY_VERIFY(q3emu::isPlugged(Interface::Command));
        QCOMPARE(firmwareVersion(), 0x0201);
    }

    // Start mode 1: the user program starts at the next power-up only.
    void startModeOneStaysInTheBootLoader()
    {
        QCOMPARE(load(toBytes(imagewriter::demoImage(0x0203))).result, ISP_OK);
        QCOMPARE(ConnectToBootloader(), ISP_OK);
        QCOMPARE(ExecuteProgramFrom(1), ISP_OK);
        QCOMPARE(SwitchToUserProgram(), ISP_OK);
        std::this_thread::sleep_for(50ms);
        QVERIFY(q3emu::isPlugged(Interface::BootLoader));
        QVERIFY(!q3emu::isPlugged(Interface::Command));
        QCOMPARE(EraseByPage(0, 0, 0), ISP_E_NOT_CONNECTED); // the switch ended the session
    }

    void connectFailures()
    {
        q3emu::reset(q3emu::Scenario::Keyboard); // no boot loader
        QCOMPARE(ConnectToBootloader(), ISP_E_NOT_CONNECTED);
        intoBootLoader();
        q3emu::failBootLoaderStep(BootLoaderStep::Connect, 1);
        QCOMPARE(ConnectToBootloader(), ISP_E_DEVICE);
        QCOMPARE(mcuInfo().field[7], 0u);
        QCOMPARE(ConnectToBootloader(), ISP_OK); // the fault was for once
        QCOMPARE(ConnectToBootloader(), ISP_OK); // again: the first connection is replaced
        QCOMPARE(q3emu::openHandleCount(Interface::BootLoader), 1);
    }

    // Each step's failure comes back as the result romwriter checks, once;
    // the retry goes through.
    void injectedFaults_data()
    {
        QTest::addColumn<BootLoaderStep>("step");
        QTest::newRow("erase") << BootLoaderStep::Erase;
        QTest::newRow("blank check") << BootLoaderStep::BlankCheck;
        QTest::newRow("program") << BootLoaderStep::Program;
        QTest::newRow("verify") << BootLoaderStep::Verify;
        QTest::newRow("execute") << BootLoaderStep::Execute;
        QTest::newRow("lock") << BootLoaderStep::Lock;
    }

    void injectedFaults()
    {
        QFETCH(BootLoaderStep, step);
        QCOMPARE(load(Bytes(512, 0x3C)).result, ISP_OK);
        QCOMPARE(ConnectToBootloader(), ISP_OK);
        QCOMPARE(program(128, 512), 0);
        auto run = [step]() -> int {
            switch (step) {
            case BootLoaderStep::Erase:
                return EraseByPage(0, 1, 0);
            case BootLoaderStep::BlankCheck:
                return BlankCheck(1);
            case BootLoaderStep::Program:
                return PartialProgram(512, 512);
            case BootLoaderStep::Verify:
                return VerifyByPage(0, 1, 0);
            case BootLoaderStep::Execute:
                return ExecuteProgramFrom(2);
            case BootLoaderStep::Lock:
                return LockAll() ? ISP_OK : -1;
            case BootLoaderStep::Connect:
                break;
            }
            return -2;
        };
        if (step == BootLoaderStep::BlankCheck)
            QCOMPARE(EraseByPage(0, 0, 0), ISP_OK);
        q3emu::failBootLoaderStep(step, 1);
        QCOMPARE(run(), step == BootLoaderStep::Lock ? -1 : ISP_E_DEVICE);
        QCOMPARE(run(), ISP_OK);
    }

    // What the boot loader itself refuses, and what the library refuses
    // before sending anything.
    void refusals_data()
    {
        QTest::addColumn<int>("call");
        QTest::addColumn<int>("result");
        QTest::newRow("program over unerased flash") << 0 << ISP_E_DEVICE;
        QTest::newRow("blank check of the factory flash") << 1 << ISP_E_MISMATCH;
        QTest::newRow("verify against another image") << 2 << ISP_E_MISMATCH;
        QTest::newRow("program while locked") << 3 << ISP_E_DEVICE;
        QTest::newRow("erase unlocks") << 4 << ISP_OK;
        QTest::newRow("program length 0") << 5 << ISP_E_ARGUMENT;
        QTest::newRow("program more than a block") << 6 << ISP_E_ARGUMENT;
        QTest::newRow("program past the flash") << 7 << ISP_E_ARGUMENT;
        QTest::newRow("erase past the last page") << 8 << ISP_E_ARGUMENT;
        QTest::newRow("start mode 0") << 9 << ISP_E_ARGUMENT;
        QTest::newRow("blank check mode 2") << 10 << ISP_E_ARGUMENT;
        QTest::newRow("program after a refused image") << 11 << ISP_E_NO_IMAGE;
        QTest::newRow("verify past the image, image bytes only") << 12 << ISP_OK;
    }

    void refusals()
    {
        QFETCH(int, call);
        QFETCH(int, result);
        const Bytes image = toBytes(imagewriter::demoImage(0x0203, 4096));
        QCOMPARE(load(image).result, ISP_OK);
        QCOMPARE(ConnectToBootloader(), ISP_OK);
        int r = -1;
        switch (call) {
        case 0:
            r = PartialProgram(0, 512);
            break;
        case 1:
            r = BlankCheck(0);
            break;
        case 2:
            QCOMPARE(program(128, 512), 0);
            QCOMPARE(load(toBytes(imagewriter::demoImage(0x0204, 4096))).result, ISP_OK);
            r = VerifyByPage(0, 1, 0);
            break;
        case 3:
            QCOMPARE(EraseByPage(0, 1, 0), ISP_OK);
            QCOMPARE(LockAll(), 1);
            r = PartialProgram(0, 512);
            break;
        case 4:
            QCOMPARE(LockAll(), 1);
            QCOMPARE(EraseByPage(0, 1, 0), ISP_OK);
            r = PartialProgram(0, 512);
            break;
        case 5:
            r = PartialProgram(0, 0);
            break;
        case 6:
            r = PartialProgram(0, 1025);
            break;
        case 7:
            r = PartialProgram(65024, 1024);
            break;
        case 8:
            r = EraseByPage(128, 1, 0);
            break;
        case 9:
            r = ExecuteProgramFrom(0);
            break;
        case 10:
            r = BlankCheck(2);
            break;
        case 11:
            QCOMPARE(load({}).result, ISP_E_NO_IMAGE);
            r = PartialProgram(0, 512);
            break;
        case 12:
            r = VerifyByPage(100, 0, 0);
            break;
        }
        QCOMPARE(r, result);
    }

    void callsWithoutConnection()
    {
        QCOMPARE(load(Bytes(512, 1)).result, ISP_OK);
        QCOMPARE(EraseByPage(0, 1, 0), ISP_E_NOT_CONNECTED);
        QCOMPARE(BlankCheck(0), ISP_E_NOT_CONNECTED);
        QCOMPARE(PartialProgram(0, 512), ISP_E_NOT_CONNECTED);
        QCOMPARE(VerifyByPage(0, 1, 0), ISP_E_NOT_CONNECTED);
        QCOMPARE(ExecuteProgramFrom(2), ISP_E_NOT_CONNECTED);
        QCOMPARE(LockAll(), 0);
        QCOMPARE(SwitchToUserProgram(), ISP_E_NOT_CONNECTED);
        QCOMPARE(DisConnectBootloader(), ISP_OK);
        QVERIFY(q3emu::trace().empty());
    }

    // A device that goes away or talks nonsense gives failures, never a hang.
    void brokenDevice_data()
    {
        QTest::addColumn<int>("fault");
        QTest::newRow("vanishes while a page streams in") << 0;
        QTest::newRow("vanishes before the answer") << 1;
        QTest::newRow("stops answering") << 2;
        QTest::newRow("garbled answer") << 3;
    }

    void brokenDevice()
    {
        QFETCH(int, fault);
        QCOMPARE(load(Bytes(4096, 0x42)).result, ISP_OK);
        QCOMPARE(ConnectToBootloader(), ISP_OK);
        QCOMPARE(EraseByPage(0, 1, 0), ISP_OK);
        switch (fault) {
        case 0:
            q3emu::vanishAfterWrites(Interface::BootLoader, 4); // a 512-byte page takes ten
            break;
        case 1:
            q3emu::vanishAfterWrites(Interface::BootLoader, 11);
            break;
        case 2:
            q3emu::stopAnswering(20ms);
            break;
        case 3:
            q3emu::garbleBootLoaderAnswers(1);
            break;
        }
        QCOMPARE(PartialProgram(0, 512), ISP_E_TRANSFER);
        if (fault <= 1) {
            QVERIFY(!q3emu::isPlugged(Interface::BootLoader));
            QCOMPARE(VerifyByPage(0, 1, 0), ISP_E_NOT_CONNECTED);
            QCOMPARE(ConnectToBootloader(), ISP_E_NOT_CONNECTED);
        }
        QCOMPARE(DisConnectBootloader(), ISP_OK);
        q3emu::clearFaults();
        if (fault >= 2) {
            // The device is fine again; a late answer is not taken for a new one.
            QCOMPARE(ConnectToBootloader(), ISP_OK);
            QCOMPARE(PartialProgram(0, 512), ISP_OK);
            QCOMPARE(VerifyByPage(0, 1, 0), ISP_OK);
        }
    }

    void vanishingWhileAnotherThreadWaits()
    {
        QCOMPARE(load(Bytes(512, 0x42)).result, ISP_OK);
        QCOMPARE(ConnectToBootloader(), ISP_OK);
        q3emu::stopAnswering(0ms);
        std::atomic<int> result{-1};
        std::thread caller([&] { result = VerifyByPage(0, 1, 0); });
        std::this_thread::sleep_for(50ms);
        q3emu::unplug(Interface::BootLoader);
        caller.join();
        QCOMPARE(result.load(), ISP_E_TRANSFER);
    }

    // Larger than 16-bit start addresses reach: reported as it is, so that
    // romwriter can refuse it; pages past 64 KiB are refused by the device.
    void reportedGeometryBeyond64KiB()
    {
        q3emu::setFlashGeometry({1024, 128, 1024});
        QCOMPARE(ConnectToBootloader(), ISP_OK);
        const Record r = mcuInfo();
        QCOMPARE(r.field[1], 1024u);
        QCOMPARE(r.field[2], 128u);
        QCOMPARE(r.field[3], 131072u);
        QCOMPARE(EraseByPage(63, 1, 0), ISP_OK);
        QCOMPARE(EraseByPage(64, 1, 0), ISP_E_DEVICE);
        QCOMPARE(load(Bytes(65536, 1)).result, ISP_OK);
    }

    void smallerFlashRefusesLargerImage()
    {
        q3emu::setFlashGeometry({256, 16, 256});
        QCOMPARE(ConnectToBootloader(), ISP_OK);
        QCOMPARE(load(Bytes(4097, 1)).result, ISP_E_ARGUMENT);
        QCOMPARE(load(Bytes(4096, 1)).result, ISP_OK);
        QCOMPARE(program(16, 256), 0);
        QCOMPARE(q3emu::bootLoaderState().flash, Bytes(4096, 1));
    }
};

QTEST_GUILESS_MAIN(TestIspDll)
#include "tst_ispdll.moc"
