// The emulated keyboard, driven through the hidapi C API exactly as the
// device link drives a real one.
#include "bootwire.h"
#include "firmwareimage.h"
#include "packetcodec.h"
#include "q3emu.h"

#include <hidapi.h>

#include <QtTest>

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <optional>
#include <thread>

using namespace std::chrono_literals;
using q3emu::Interface;
using Bytes = std::vector<uint8_t>;
using Kind = q3emu::TraceEntry::Kind;

namespace {

struct Handle {
    explicit Handle(Interface iface) : h(hid_open_path(q3emu::pathOf(iface).c_str())) {}
    ~Handle()
    {
        if (h)
            hid_close(h);
    }
    operator hid_device *() const { return h; }
    hid_device *h;
};

packet::Packet toPacket(const QByteArray &b, int at = 0)
{
    packet::Packet p{};
    std::memcpy(p.data(), b.constData() + at, p.size());
    return p;
}

int send(hid_device *h, const packet::Packet &p)
{
    uint8_t report[9] = {};
    std::memcpy(report + 1, p.data(), 8);
    return hid_send_feature_report(h, report, sizeof report);
}

// The answer packet, or nothing when the exchange failed.
Bytes query(hid_device *h, const packet::Packet &p)
{
    uint8_t report[9] = {};
    if (send(h, p) != 9 || hid_get_feature_report(h, report, sizeof report) != 9)
        return {};
    return Bytes(report + 1, report + 9);
}

bool writeBlock(hid_device *h, const packet::Packet &p, const Bytes &data)
{
    if (send(h, p) != 9)
        return false;
    for (size_t offset = 0; offset < data.size(); offset += 64) {
        uint8_t report[65] = {};
        std::memcpy(report + 1, data.data() + offset, std::min<size_t>(64, data.size() - offset));
        if (hid_write(h, report, sizeof report) != 65)
            return false;
    }
    return true;
}

// Reads input reports until `n` bytes are in `out`; returns each read's result.
QList<int> readBlock(hid_device *h, const packet::Packet &p, size_t n, Bytes &out)
{
    if (query(h, p).empty())
        return {-2};
    QList<int> results;
    while (out.size() < n) {
        uint8_t report[65] = {};
        results << hid_read_timeout(h, report, sizeof report, 50);
        if (results.back() <= 0)
            break;
        out.insert(out.end(), report, report + results.back());
    }
    return results;
}

Bytes pattern(size_t n, int seed)
{
    Bytes b(n);
    for (size_t i = 0; i < n; ++i)
        b[i] = static_cast<uint8_t>((i * 7 + seed) & 0x3F);
    return b;
}

bool sameState(const q3emu::KeyboardState &a, const q3emu::KeyboardState &b)
{
    return std::memcmp(a.profiles, b.profiles, sizeof a.profiles) == 0 &&
           std::memcmp(a.options, b.options, sizeof a.options) == 0 && a.sensitivity == b.sensitivity &&
           a.activeProfile == b.activeProfile && a.firmwareVersion == b.firmwareVersion &&
           a.layoutMode == b.layoutMode && a.mode == b.mode && a.stopMacroCount == b.stopMacroCount &&
           a.recoveryCount == b.recoveryCount && a.bootLoaderRequests == b.bootLoaderRequests;
}

QList<int> enumerated(unsigned short vid, unsigned short pid)
{
    QList<int> ifaces;
    hid_device_info *list = hid_enumerate(vid, pid);
    for (hid_device_info *d = list; d; d = d->next)
        for (int i = 0; i <= int(Interface::BootLoader); ++i)
            if (q3emu::pathOf(Interface(i)) == d->path)
                ifaces << i;
    hid_free_enumeration(list);
    return ifaces;
}

const int kCmd = int(Interface::Command), kEv = int(Interface::Event);

} // namespace

class TestEmulator : public QObject
{
    Q_OBJECT

private slots:
    // Preloaded into a program that never calls reset(): a plugged keyboard
    // that takes about a millisecond per report.
    void initTestCase()
    {
        QCOMPARE(enumerated(0, 0), (QList<int>{kCmd, kEv}));
        Handle cmd(Interface::Command);
        const auto start = std::chrono::steady_clock::now();
        QCOMPARE(send(cmd, packet::make(0x21, 1)), 9);
        QVERIFY(std::chrono::steady_clock::now() - start >= 1ms);
    }

    void init()
    {
        q3emu::reset(q3emu::Scenario::Keyboard);
        q3emu::setReportDelay(0us);
    }

    void enumeration_data()
    {
        QTest::addColumn<int>("scenario");
        QTest::addColumn<int>("pid");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("nothing plugged") << int(q3emu::Scenario::NoKeyboard) << 0 << QList<int>{};
        QTest::newRow("keyboard") << int(q3emu::Scenario::Keyboard) << 0 << QList<int>{kCmd, kEv};
        QTest::newRow("command only") << int(q3emu::Scenario::CommandInterfaceOnly) << 0 << QList<int>{kCmd};
        QTest::newRow("duplicate usage") << int(q3emu::Scenario::DuplicateCommandUsage) << 0
                                         << QList<int>{kCmd, kEv, int(Interface::SecondCommand)};
        QTest::newRow("with mouse") << int(q3emu::Scenario::KeyboardAndMouse) << 0
                                    << QList<int>{kCmd, kEv, int(Interface::Mouse)};
        QTest::newRow("mouse filtered by pid") << int(q3emu::Scenario::KeyboardAndMouse)
                                               << int(q3emu::kKeyboardProductId) << QList<int>{kCmd, kEv};
    }

    void enumeration()
    {
        QFETCH(int, scenario);
        QFETCH(int, pid);
        QFETCH(QList<int>, expected);
        q3emu::reset(q3emu::Scenario(scenario));
        QCOMPARE(enumerated(q3emu::kVendorId, static_cast<unsigned short>(pid)), expected);
        QCOMPARE(enumerated(0x1234, 0), QList<int>{});
        hid_device_info *list = hid_enumerate(0, 0);
        for (hid_device_info *d = list; d; d = d->next)
            QVERIFY(d->bus_type == HID_API_BUS_USB && d->product_string && d->manufacturer_string);
        hid_free_enumeration(list);
    }

    void shortCommands_data()
    {
        QTest::addColumn<QByteArray>("writes"); // any number of 8-byte packets
        QTest::addColumn<QByteArray>("read");
        QTest::addColumn<QByteArray>("answer");
        auto row = [](const char *name, const char *writes, const char *read, const char *answer) {
            QTest::newRow(name) << QByteArray::fromHex(writes) << QByteArray::fromHex(read)
                                << QByteArray::fromHex(answer);
        };
        row("options", "02 01 02 03 00 55 AA 00", "82 00 00 00 00 55 AA 00", "82 01 02 03 00 55 AA 00");
        row("sensitivity", "04 07 00 00 00 55 AA 00", "84 00 00 00 00 55 AA 00", "84 07 00 00 00 55 AA 00");
        row("lighting", "08 01 02 03 04 05 06 00", "88 00 00 00 00 55 AA 00", "88 01 02 03 04 05 06 00");
        row("lighting is per profile", "08 09 09 09 09 09 09 00 21 01 00 00 00 55 AA 00",
            "88 00 00 00 00 55 AA 00", "88 00 3F 03 00 05 00 00");
        row("profile", "21 03 00 00 00 55 AA 00", "A1 00 00 00 00 55 AA 00", "A1 03 00 00 00 55 AA 00");
        row("profile 4 ignored", "21 04 00 00 00 55 AA 00", "A1 00 00 00 00 55 AA 00",
            "A1 00 00 00 00 55 AA 00");
        row("firmware version", "", "80 00 00 00 00 55 AA 00", "80 02 01 00 00 55 AA 00");
        row("unknown command echoed", "", "77 01 02 03 04 55 AA 00", "77 01 02 03 04 55 AA 00");
    }

    void shortCommands()
    {
        QFETCH(QByteArray, writes);
        QFETCH(QByteArray, read);
        QFETCH(QByteArray, answer);
        Handle cmd(Interface::Command);
        for (int at = 0; at < writes.size(); at += 8)
            QCOMPARE(send(cmd, toPacket(writes, at)), 9);
        const Bytes a = query(cmd, toPacket(read));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(a.data()), int(a.size())), answer);
    }

    void bulkRoundTrip_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("p2");
        QTest::addColumn<int>("p3");
        QTest::addColumn<int>("size");
        QTest::newRow("matrix, first half") << 0x0C << 0 << 0 << 128;
        QTest::newRow("matrix, second half") << 0x0D << 0 << 0 << 128;
        QTest::newRow("macro 5") << 0x10 << 5 << 0 << 128;
        QTest::newRow("macro 127") << 0x10 << 127 << 0 << 128;
        QTest::newRow("picture 7, plane 2") << 0x12 << 7 << 2 << 128;
        QTest::newRow("palette") << 0x30 << 0 << 0 << 64;
    }

    void bulkRoundTrip()
    {
        QFETCH(int, code);
        QFETCH(int, p2);
        QFETCH(int, p3);
        QFETCH(int, size);
        Handle cmd(Interface::Command);
        const Bytes data = pattern(size_t(size), code + p2);
        QVERIFY(writeBlock(cmd, packet::make(uint8_t(code), 0, uint8_t(p2), uint8_t(p3)), data));

        Bytes back;
        const packet::Packet read = packet::make(uint8_t(code + 0x80), 0, uint8_t(p2), uint8_t(p3));
        QCOMPARE(readBlock(cmd, read, size_t(size), back),
                 (size == 128 ? QList<int>{64, 64} : QList<int>{64}));
        QCOMPARE(back, data);
        uint8_t extra[65];
        QCOMPARE(hid_read_timeout(cmd, extra, sizeof extra, 0), 0); // nothing follows the data phase
    }

    void storesWhereTheKeyboardDoes()
    {
        Handle cmd(Interface::Command);
        q3emu::KeyboardState expected = q3emu::factoryState();
        QCOMPARE(send(cmd, packet::make(0x21, 1)), 9);
        expected.activeProfile = 1;

        const Bytes a = pattern(128, 1), b = pattern(128, 2), c = pattern(128, 3), d = pattern(64, 4);
        QVERIFY(writeBlock(cmd, packet::make(0x0C), a));
        QVERIFY(writeBlock(cmd, packet::make(0x0D), b));
        std::copy(a.begin(), a.end(), expected.profiles[1].keyMatrix);
        std::copy(b.begin(), b.end(), expected.profiles[1].keyMatrix + 128);
        QVERIFY(writeBlock(cmd, packet::make(0x10, 0, 70), c)); // 32 * 2 + 6
        std::copy(c.begin(), c.end(), expected.profiles[2].macros[6]);
        QVERIFY(writeBlock(cmd, packet::make(0x12, 0, 3, 1), c));
        std::copy(c.begin(), c.end(), expected.profiles[1].pictures[3][1]);
        QVERIFY(writeBlock(cmd, packet::make(0x30), d));
        std::copy(d.begin(), d.end(), expected.profiles[1].palette);

        // Slots the keyboard does not have, an unknown command, a wrong entry
        // code and a data phase cut short by the next command change nothing.
        QVERIFY(writeBlock(cmd, packet::make(0x10, 0, 128), c));
        QVERIFY(writeBlock(cmd, packet::make(0x12, 0, 8, 0), c));
        QVERIFY(writeBlock(cmd, packet::make(0x12, 0, 0, 3), c));
        QCOMPARE(send(cmd, packet::make(0x77, 1, 2, 3, 4)), 9);
        QCOMPARE(send(cmd, packet::make(0x0F, 1, 2, 3, 4)), 9);
        QVERIFY(writeBlock(cmd, packet::make(0x0C), Bytes(64, 0x11)));
        QCOMPARE(send(cmd, packet::make(0x09, 0xAA, 0xCC, 0xEE)), 9);
        QCOMPARE(send(cmd, packet::make(0x13, 0xFF, 0x1F)), 9);
        expected.stopMacroCount = expected.recoveryCount = 1;
        QVERIFY(sameState(q3emu::state(), expected));
    }

    void scrambledPackets()
    {
        q3emu::setScrambling(true);
        q3emu::KeyboardState s = q3emu::state();
        s.firmwareVersion = 0x0203;
        s.layoutMode = 1;
        q3emu::setState(s);
        Handle cmd(Interface::Command);
        auto scrambled = [](packet::Packet p) {
            packet::scramble(p.data(), packet::kSecrecyCode.data());
            return p;
        };

        const packet::Packet setProfile = scrambled(packet::make(0x21, 2));
        QCOMPARE(send(cmd, setProfile), 9);
        QCOMPARE(int(q3emu::state().activeProfile), 2);
        Bytes wire{0};
        wire.insert(wire.end(), setProfile.begin(), setProfile.end());
        QCOMPARE(q3emu::trace().back().bytes, wire); // traced as it crossed the wire

        for (const Bytes &plain :
             {Bytes{0xA1, 2, 0, 0, 0, 0x55, 0xAA, 0}, Bytes{0x80, 2, 3, 2, 0, 0x55, 0xAA, 0}}) {
            Bytes a = query(cmd, scrambled(packet::make(plain[0])));
            QCOMPARE(a.size(), size_t(8));
            packet::unscramble(a.data(), packet::kSecrecyCode.data());
            QCOMPARE(a, plain);
        }
        // A bulk read's answer is an echo of what was sent; its data is plain.
        const packet::Packet bulk = scrambled(packet::make(0xB0));
        Bytes palette;
        QCOMPARE(readBlock(cmd, bulk, 64, palette), QList<int>{64});
        QCOMPARE(palette, Bytes(s.profiles[2].palette, s.profiles[2].palette + 64));
        QCOMPARE(query(cmd, bulk), Bytes(bulk.begin(), bulk.end()));
    }

    void eventReports()
    {
        q3emu::emitEventReport(Bytes(8, 0xEE)); // held by the endpoint until polled
        Handle ev(Interface::Event);
        uint8_t buf[64];
        QCOMPARE(hid_read(ev, buf, sizeof buf), 8);

        q3emu::KeyboardState s = q3emu::factoryState();
        s.profiles[2].lighting[0] = 9;
        q3emu::setState(s);
        q3emu::pressProfileKey(2);
        q3emu::pressLightingKeys(5, 3, 1);
        q3emu::pressProfileKey(4); // no such profile: no report
        QCOMPARE(hid_read_timeout(ev, buf, sizeof buf, 100), 12);
        QCOMPARE(Bytes(buf, buf + 12), (Bytes{0, 2, 0, 0, 9, 63, 3, 0, 0, 0, 0, 0}));
        QCOMPARE(hid_read_timeout(ev, buf, 7, 100), 7); // a short buffer loses the rest
        QCOMPARE(Bytes(buf, buf + 7), (Bytes{0, 2, 0, 0, 5, 3, 1}));
        QCOMPARE(hid_read_timeout(ev, buf, sizeof buf, 20), 0);
        QCOMPARE(int(q3emu::state().activeProfile), 2);
        hid_set_nonblocking(ev, 1);
        QCOMPARE(hid_read(ev, buf, sizeof buf), 0);
    }

    void unplugWakesBlockedReader()
    {
        Handle ev(Interface::Event);
        std::atomic<int> result{1};
        std::thread reader([&] {
            uint8_t buf[64];
            result = hid_read(ev, buf, sizeof buf);
        });
        std::this_thread::sleep_for(30ms);
        QCOMPARE(result.load(), 1);
        q3emu::unplug(Interface::Event);
        reader.join();
        QCOMPARE(result.load(), -1);
        QVERIFY(!hid_open_path(q3emu::pathOf(Interface::Event).c_str()));

        q3emu::plug(Interface::Event);
        q3emu::emitEventReport(Bytes(12, 1));
        uint8_t buf[64];
        QCOMPARE(hid_read_timeout(ev, buf, sizeof buf, 10), -1); // the old node is gone for good
        QCOMPARE(q3emu::openHandleCount(Interface::Event), 1);
        Handle again(Interface::Event);
        QCOMPARE(hid_read_timeout(again, buf, sizeof buf, 10), 12);
        QCOMPARE(q3emu::openHandleCount(Interface::Event), 2);
    }

    void transferFaults()
    {
        q3emu::failOpen(Interface::Command, 1);
        QVERIFY(!Handle(Interface::Command).h);
        Handle cmd(Interface::Command);
        QVERIFY(cmd.h);

        q3emu::failFeatureSend(1);
        QCOMPARE(send(cmd, packet::make(0x04, 9)), -1);
        QCOMPARE(int(q3emu::state().sensitivity), 0); // it never arrived
        QCOMPARE(send(cmd, packet::make(0x04, 9)), 9);

        q3emu::failFeatureRead();
        QVERIFY(query(cmd, packet::make(0x84)).empty());
        q3emu::clearFaults();
        QCOMPARE(query(cmd, packet::make(0x84)).at(1), uint8_t(9));

        // The second half of a block fails: the keyboard keeps what it had.
        q3emu::failOutputWrite(1, 1);
        QVERIFY(!writeBlock(cmd, packet::make(0x0C), Bytes(128, 0)));
        QVERIFY(writeBlock(cmd, packet::make(0x30), Bytes(64, 0))); // the fault is used up
        q3emu::KeyboardState expected = q3emu::factoryState();
        expected.sensitivity = 9;
        std::memset(expected.profiles[0].palette, 0, 64);
        QVERIFY(sameState(q3emu::state(), expected));

        q3emu::failOpen(Interface::Event);
        q3emu::reset(q3emu::Scenario::Keyboard);
        QVERIFY(Handle(Interface::Event).h); // reset clears every fault
    }

    void dataPhaseFaults()
    {
        Handle cmd(Interface::Command);
        const Bytes matrix = pattern(128, 5);
        QVERIFY(writeBlock(cmd, packet::make(0x0D), matrix));
        Bytes back;
        q3emu::failInputRead(1, 1);
        QCOMPARE(readBlock(cmd, packet::make(0x8D), 128, back), (QList<int>{64, -1}));
        uint8_t report[65];
        QCOMPARE(hid_read_timeout(cmd, report, sizeof report, 10), 64); // the failed read lost nothing
        QCOMPARE(Bytes(report, report + 64), Bytes(matrix.begin() + 64, matrix.end()));

        q3emu::clearFaults();
        q3emu::limitDataPhaseReports(1);
        back.clear();
        QCOMPARE(readBlock(cmd, packet::make(0x8D), 128, back), (QList<int>{64, 0}));
        QCOMPARE(back, Bytes(matrix.begin(), matrix.begin() + 64));

        q3emu::limitDataPhaseReports(-1);
        q3emu::setInputReportLength(40);
        back.clear();
        QCOMPARE(readBlock(cmd, packet::make(0x8D), 128, back), (QList<int>{40, 40, 0}));
        QCOMPARE(Bytes(back.begin() + 40, back.end()), Bytes(matrix.begin() + 64, matrix.begin() + 104));

        // A keyboard that stops answering: control transfers time out,
        // interrupt reads get nothing, until it recovers.
        Handle ev(Interface::Event);
        q3emu::emitEventReport(Bytes(12, 3));
        q3emu::stopAnswering(40ms);
        const auto start = std::chrono::steady_clock::now();
        QCOMPARE(send(cmd, packet::make(0x21, 1)), -1);
        QVERIFY(std::chrono::steady_clock::now() - start >= 40ms);
        QCOMPARE(hid_write(cmd, report, sizeof report), -1);
        QCOMPARE(hid_read_timeout(ev, report, sizeof report, 20), 0);
        QCOMPARE(int(q3emu::state().activeProfile), 0);
        q3emu::clearFaults();
        QCOMPARE(hid_read_timeout(ev, report, sizeof report, 20), 12);
    }

    // Raw exchanges stand in for the firmware's answers one command at a
    // time, cut to the host's buffers, and end their data phase at once.
    void rawExchanges()
    {
        Handle cmd(Interface::Command);
        const Bytes longReport = pattern(100, 9);
        q3emu::serveRawExchanges({{{0x00, 0xA1, 0x07}, {{1, 2, 3}, longReport, {}}},
                                  {pattern(20, 1), {}}});
        QCOMPARE(q3emu::pendingRawExchanges(), 2);

        // A short answer reads as its own length; the firmware still acts.
        QCOMPARE(send(cmd, packet::make(0x21, 2)), 9);
        uint8_t answer[9] = {};
        QCOMPARE(hid_get_feature_report(cmd, answer, sizeof answer), 3);
        QCOMPARE(Bytes(answer, answer + 3), (Bytes{0x00, 0xA1, 0x07}));
        QCOMPARE(int(q3emu::state().activeProfile), 2);
        uint8_t report[65] = {};
        QCOMPARE(hid_read_timeout(cmd, report, sizeof report, 1000), 3);
        QCOMPARE(hid_read_timeout(cmd, report, sizeof report, 1000), 65);
        QCOMPARE(Bytes(report, report + 65), Bytes(longReport.begin(), longReport.begin() + 65));
        QCOMPARE(hid_read_timeout(cmd, report, sizeof report, 1000), 0);
        const auto start = std::chrono::steady_clock::now();
        QCOMPARE(hid_read_timeout(cmd, report, sizeof report, 1000), -1); // used up: no wait
        QVERIFY(std::chrono::steady_clock::now() - start < 500ms);

        // A long answer is cut to the buffer; the firmware's data phase never
        // starts, the firmware answers again after the last raw exchange.
        QCOMPARE(send(cmd, packet::make(0x8C)), 9);
        QCOMPARE(hid_get_feature_report(cmd, answer, sizeof answer), 9);
        QCOMPARE(Bytes(answer, answer + 9), pattern(9, 1));
        QCOMPARE(hid_read_timeout(cmd, report, sizeof report, 1000), -1);
        QCOMPARE(q3emu::pendingRawExchanges(), 0);
        Bytes back;
        QCOMPARE(readBlock(cmd, packet::make(0x8C), 128, back), (QList<int>{64, 64}));
        QCOMPARE(query(cmd, packet::make(0xA1)).at(1), uint8_t(2));

        q3emu::serveRawExchanges({{{}, {}}});
        q3emu::reset(q3emu::Scenario::Keyboard);
        QCOMPARE(q3emu::pendingRawExchanges(), 0);
    }

    void bootLoaderEntry_data()
    {
        QTest::addColumn<bool>("rightCode");
        QTest::addColumn<bool>("statusQuery");
        QTest::addColumn<int>("refusals");
        QTest::addColumn<bool>("leaves");
        QTest::newRow("confirmed by the status query") << true << true << 0 << true;
        QTest::newRow("no status query: stays") << true << false << 0 << false;
        QTest::newRow("wrong entry code") << false << true << 0 << false;
        QTest::newRow("entry refused") << true << true << 1 << false;
    }

    void bootLoaderEntry()
    {
        QFETCH(bool, rightCode);
        QFETCH(bool, statusQuery);
        QFETCH(int, refusals);
        QFETCH(bool, leaves);
        const auto delay = 80ms;
        q3emu::setReenumerationDelay(delay);
        q3emu::refuseBootLoaderEntry(refusals);
        Handle cmd(Interface::Command), ev(Interface::Event);
        packet::Packet enter = packet::makeBootLoader();
        enter[7] ^= rightCode ? 0 : 1;
        QCOMPARE(send(cmd, enter), 9);
        std::atomic<int> eventRead{1};
        std::thread monitor([&] {
            uint8_t buf[64];
            eventRead = hid_read_timeout(ev, buf, sizeof buf, 500);
        });
        const auto asked = std::chrono::steady_clock::now(); // the keyboard leaves after this
        if (statusQuery) {
            const Bytes answer = query(cmd, packet::Packet{0x8F, 0, 0, 0, 0, 0, 0, 0x70});
            QCOMPARE(answer.size(), size_t(8));
            QCOMPARE(answer[1] == 0xFF, leaves);
        } else {
            // However long the host takes, only the query lets it go.
            std::this_thread::sleep_for(300ms);
        }
        monitor.join();
        QCOMPARE(eventRead.load(), leaves ? -1 : 0); // leaving wakes a waiting reader

        const q3emu::KeyboardState s = q3emu::state();
        QCOMPARE(s.bootLoaderRequests, rightCode ? 1 : 0);
        QCOMPARE(s.mode == q3emu::Mode::BootLoader, leaves);
        if (!leaves) {
            QCOMPARE(enumerated(0, 0), (QList<int>{kCmd, kEv}));
            return;
        }
        // Gone at once; back as the boot loader once it has re-enumerated.
        QCOMPARE(enumerated(0, 0), QList<int>{});
        QCOMPARE(send(cmd, packet::make(0x21, 1)), -1);
        QTRY_COMPARE_WITH_TIMEOUT(enumerated(0, 0), QList<int>{int(Interface::BootLoader)}, 2000);
        QVERIFY(std::chrono::steady_clock::now() - asked >= delay);
        hid_device_info *bl = hid_enumerate(q3emu::kVendorId, q3emu::kBootLoaderProductId);
        QVERIFY(bl && bl->usage_page == 0xFF00 && bl->usage == 0x0020 && !bl->next);
        hid_free_enumeration(bl);
        Handle loader(Interface::BootLoader);
        QCOMPARE(query(loader, packet::make(0x55, 1, 2)), Bytes({0x55, 1, 2, 0, 0, 0x55, 0xAA, 0}));
    }

    // Requests as raw reports, answered as isp/PROTOCOL.md says.
    void bootLoaderReports_data()
    {
        QTest::addColumn<bool>("connect");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("a");
        QTest::addColumn<int>("b");
        QTest::addColumn<bool>("spoilCheck");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("value");
        QTest::newRow("connect") << false << int(ispwire::Connect) << 0x3351 << 0 << false << 0 << 0;
        QTest::newRow("connect, wrong key")
            << false << int(ispwire::Connect) << 0x3352 << 0 << false << 4 << 0;
        QTest::newRow("erase before connect")
            << false << int(ispwire::ErasePage) << 0 << 0 << false << 3 << 0;
        QTest::newRow("bad check byte") << true << int(ispwire::ErasePage) << 0 << 0 << true << 2 << 0;
        QTest::newRow("unknown command") << true << 0x3F << 0 << 0 << false << 1 << 0;
        QTest::newRow("erase page 127") << true << int(ispwire::ErasePage) << 127 << 0 << false << 0 << 0;
        QTest::newRow("erase page 128") << true << int(ispwire::ErasePage) << 128 << 0 << false << 4 << 0;
        QTest::newRow("factory flash is not blank")
            << true << int(ispwire::BlankCheck) << 0 << 128 << false << 6 << 0;
        QTest::newRow("upper half is blank")
            << true << int(ispwire::BlankCheck) << 64 << 64 << false << 0 << 0;
        QTest::newRow("verify past the pages")
            << true << int(ispwire::VerifyPage) << 0 << 513 << false << 4 << 0;
        QTest::newRow("verify an erased page") << true << int(ispwire::VerifyPage) << 100 << 1 << false << 0
                                               << int(ispimage::crc16(Bytes{0xFF}.data(), 1));
        QTest::newRow("start mode 3") << true << int(ispwire::SetStart) << 3 << 0 << false << 4 << 0;
        QTest::newRow("run leaves with mode 2") << true << int(ispwire::Run) << 0 << 0 << false << 0 << 1;
    }

    void bootLoaderReports()
    {
        QFETCH(bool, connect);
        QFETCH(int, code);
        QFETCH(int, a);
        QFETCH(int, b);
        QFETCH(bool, spoilCheck);
        QFETCH(int, status);
        QFETCH(int, value);
        q3emu::reset(q3emu::Scenario::NoKeyboard);
        q3emu::setReportDelay(0us);
        q3emu::plug(Interface::BootLoader);
        Handle loader(Interface::BootLoader);
        auto exchange = [&](ispwire::Frame f, bool spoil) {
            ispwire::Report r = ispwire::encode(f);
            if (spoil)
                r[7] ^= 1;
            uint8_t out[65] = {0};
            std::copy(r.begin(), r.end(), out + 1);
            uint8_t in[65] = {};
            if (hid_write(loader, out, sizeof out) != 65 ||
                hid_read_timeout(loader, in, sizeof in, 200) != 64)
                return std::optional<ispwire::Frame>();
            return ispwire::decode(in, 64);
        };
        if (connect) {
            ispwire::Frame c;
            c.code = ispwire::Connect;
            c.seq = 1;
            c.a = ispwire::kConnectKey;
            const std::optional<ispwire::Frame> answer = exchange(c, false);
            QVERIFY(answer && answer->a == ispwire::Ok);
            const std::optional<ispwire::ConnectData> d = ispwire::connectData(*answer);
            QVERIFY(d && d->pageSize == 512 && d->pageCount == 128 && d->blockSize == 1024 &&
                    d->startMode == 2);
        }
        ispwire::Frame f;
        f.code = uint8_t(code);
        f.seq = 0x42;
        f.a = uint16_t(a);
        f.b = uint16_t(b);
        const std::optional<ispwire::Frame> answer = exchange(f, spoilCheck);
        QVERIFY(answer);
        QCOMPARE(int(answer->code), code);
        QCOMPARE(int(answer->seq), 0x42);
        QCOMPARE(int(answer->a), status);
        QCOMPARE(int(answer->b), value);
    }

    void wireTrace()
    {
        const auto delay = 2ms;
        q3emu::setReportDelay(delay);
        Handle cmd(Interface::Command), ev(Interface::Event);
        std::thread::id writerId;
        std::chrono::steady_clock::time_point writerStart;
        // As the device link works: writes from a worker while another
        // thread waits on the event interface.
        std::thread writer([&] {
            writerId = std::this_thread::get_id();
            writerStart = std::chrono::steady_clock::now();
            writeBlock(cmd, packet::make(0x30), pattern(64, 9));
            q3emu::pressProfileKey(3);
        });
        uint8_t buf[64];
        QCOMPARE(hid_read_timeout(ev, buf, sizeof buf, 1000), 12);
        writer.join();

        const std::vector<q3emu::TraceEntry> t = q3emu::trace();
        QCOMPARE(t.size(), size_t(3));
        QCOMPARE(t[0].kind, Kind::FeatureSent);
        QCOMPARE(t[0].bytes, (Bytes{0, 0x30, 0, 0, 0, 0, 0x55, 0xAA, 0}));
        QCOMPARE(t[1].kind, Kind::Output);
        QCOMPARE(t[1].bytes.size(), size_t(65));
        QCOMPARE(Bytes(t[1].bytes.begin() + 1, t[1].bytes.end()), pattern(64, 9));
        QCOMPARE(t[2].kind, Kind::Input);
        QCOMPARE(t[2].iface, Interface::Event);
        QCOMPARE(t[2].bytes, Bytes(buf, buf + 12));
        QVERIFY(t[0].thread == writerId && t[1].thread == writerId);
        QVERIFY(t[2].thread == std::this_thread::get_id());
        QVERIFY(t[0].time - writerStart >= delay);
        QVERIFY(t[1].time - t[0].time >= delay);
        QVERIFY(t[2].time - t[1].time >= delay); // queued after the write, then read
        q3emu::clearTrace();
        QVERIFY(q3emu::trace().empty());
    }

    // A test that reaches for real hardware must not pass by accident.
    void realDevicePathAborts()
    {
        QVERIFY(!hid_open_path("q3emu:no/such/node"));
        const pid_t child = fork();
        if (child == 0) {
            if (!std::freopen("/dev/null", "w", stderr))
                _exit(1);
            hid_open_path("/dev/hidraw0");
            _exit(0);
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(WIFSIGNALED(status) && WTERMSIG(status) == SIGABRT);
    }
};

QTEST_GUILESS_MAIN(TestEmulator)
#include "tst_emulator.moc"
