// The 22 commands against the emulated keyboard: the exact feature report
// each one sends, the data phase of the bulk ones, the results each read
// takes from the keyboard, and write -> read round trips. Every case runs with
// packet scrambling off and on.
#include "linkfixture.h"

#include <QtTest>

#include <functional>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;
using Kind = q3emu::TraceEntry::Kind;

Bytes pattern(int size, int seed, uint8_t mask = 0xFF)
{
    Bytes out(size);
    for (int i = 0; i < size; ++i)
        out[i] = static_cast<uint8_t>((seed + 37 * i) & mask);
    return out;
}

const Bytes kBlock = pattern(128, 0x11);
const Bytes kOtherBlock = pattern(128, 0x80);
const Bytes kPlane = pattern(128, 0x05, 0x3F); // picture components are 0..63
const Bytes kPalette = pattern(64, 0x40);

Bytes concat(Bytes a, const Bytes &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes packetBytes(const packet::Packet &p)
{
    return Bytes(p.begin(), p.end());
}

// The feature report the link must send for `pkt`: report id, then the packet,
// scrambled with the zero secrecy code when scrambling is on.
Bytes featureReport(Bytes pkt, bool scrambled)
{
    if (scrambled)
        packet::scramble(pkt.data(), packet::kSecrecyCode.data());
    pkt.insert(pkt.begin(), packet::kReportId);
    return pkt;
}

std::vector<q3emu::TraceEntry> commandTrace(Kind kind)
{
    std::vector<q3emu::TraceEntry> out;
    for (const auto &e : fixture::traceOf(kind))
        if (e.iface == q3emu::Interface::Command)
            out.push_back(e);
    return out;
}

Bytes slice(const uint8_t *p, int n)
{
    return Bytes(p, p + n);
}

const q3emu::ProfileState &active(const q3emu::KeyboardState &s)
{
    return s.profiles[s.activeProfile];
}

// Results of the reads in argument order. Every output starts as 0xEE so
// that a result left unwritten shows.
Bytes readBlock(const std::function<void(uchar *)> &read, int size = 128)
{
    Bytes buf(size, 0xEE);
    read(buf.data());
    return buf;
}

Bytes getFirmware(Hid_Thread &l)
{
    ushort version = 0xEEEE;
    uchar mode = 0xEE;
    l.hid_80H_GetFWVersion(version, mode);
    return {uint8_t(version >> 8), uint8_t(version & 0xFF), mode};
}

Bytes getOptions(Hid_Thread &l)
{
    uchar b1 = 0xEE, b2 = 0xEE, b3 = 0xEE;
    l.hid_82H_GetKeyboardoption(b1, b2, b3);
    return {b1, b2, b3};
}

Bytes getSensitivity(Hid_Thread &l)
{
    uchar sens = 0xEE;
    l.hid_84H_GetButtonSensitivity(sens);
    return {sens};
}

Bytes getLighting(Hid_Thread &l)
{
    uchar v[6] = {0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
    l.hid_88H_GetLEDType(v[0], v[1], v[2], v[3], v[4], v[5]);
    return slice(v, 6);
}

Bytes getProfile(Hid_Thread &l)
{
    uchar profile = 0xEE;
    l.hid_A1H_GetCurrentProfile(profile);
    return {profile};
}

Bytes getMatrix1(Hid_Thread &l)
{
    return readBlock([&](uchar *b) { l.hid_8CH_GetKeyMatrix_1(b); });
}

Bytes getMatrix2(Hid_Thread &l)
{
    return readBlock([&](uchar *b) { l.hid_8DH_GetKeyMatrix_2(b); });
}

Bytes getPalette(Hid_Thread &l)
{
    return readBlock([&](uchar *b) { l.hid_B0H_GetSevenColor(b); }, 64);
}

void put(uint8_t *dst, const Bytes &src)
{
    std::copy(src.begin(), src.end(), dst);
}

using State = q3emu::KeyboardState;

struct WriteCase {
    const char *name;
    std::function<void(Hid_Thread &, uchar *data)> issue;
    Bytes packet; // bytes 1..8 of the feature report, before scrambling
    Bytes data;   // the data phase, empty for none
    std::function<Bytes(const State &)> kept;
    Bytes expectedKept;
};

const std::vector<WriteCase> &writeCases()
{
    const auto h = fixture::bytesFromHex;
    static const std::vector<WriteCase> cases = {
        {"02H",
         [](Hid_Thread &l, uchar *) { l.hid_02H_SetKeyboardoption(0x01, 0x5A, 0xC3); },
         h("02 01 5A C3 00 55 AA 00"),
         {},
         [](const State &s) { return slice(s.options, 3); },
         {1, 0x5A, 0xC3}},
        {"04H",
         [](Hid_Thread &l, uchar *) { l.hid_04H_SetButtonSensitivity(7); },
         h("04 07 00 00 00 55 AA 00"),
         {},
         [](const State &s) { return Bytes{s.sensitivity}; },
         {7}},
        {"08H",
         [](Hid_Thread &l, uchar *) { l.hid_08H_SetLEDType(1, 2, 3, 4, 5, 6); },
         h("08 01 02 03 04 05 06 00"),
         {},
         [](const State &s) { return slice(active(s).lighting, 6); },
         {1, 2, 3, 4, 5, 6}},
        {"09H",
         [](Hid_Thread &l, uchar *) { l.hid_09H_StopMacroSending(); },
         h("09 AA CC EE 00 55 AA 00"),
         {},
         [](const State &s) { return Bytes{uint8_t(s.stopMacroCount)}; },
         {1}},
        {"0CH", [](Hid_Thread &l, uchar *d) { l.hid_0CH_SetKeyMatrix_1(d); }, h("0C 00 00 00 00 55 AA 00"),
         kBlock, [](const State &s) { return slice(active(s).keyMatrix, 128); }, kBlock},
        {"0DH", [](Hid_Thread &l, uchar *d) { l.hid_0DH_SetKeyMatrix_2(d); }, h("0D 00 00 00 00 55 AA 00"),
         kBlock, [](const State &s) { return slice(active(s).keyMatrix + 128, 128); }, kBlock},
        {"0FH",
         [](Hid_Thread &l, uchar *) { l.hid_0FH_SetISPBootLoader(); },
         packetBytes(packet::makeBootLoader()),
         {},
         [](const State &s) { return Bytes{uint8_t(s.bootLoaderRequests)}; },
         {1}},
        {"10H", [](Hid_Thread &l, uchar *d) { l.hid_10H_SetMacroKey(5, d); }, h("10 00 05 00 00 55 AA 00"),
         kBlock, [](const State &s) { return slice(s.profiles[0].macros[5], 128); }, kBlock},
        {"12H", [](Hid_Thread &l, uchar *d) { l.hid_12H_SetUserPicture(3, 2, d); },
         h("12 00 03 02 00 55 AA 00"), kPlane,
         [](const State &s) { return slice(active(s).pictures[3][2], 128); }, kPlane},
        {"13H",
         [](Hid_Thread &l, uchar *) { l.hid_13H_SetRecoveryData(); },
         h("13 FF 1F 00 00 55 AA 00"),
         {},
         [](const State &s) { return Bytes{uint8_t(s.recoveryCount)}; },
         {1}},
        {"21H",
         [](Hid_Thread &l, uchar *) { l.hid_21H_SetCurrentProfile(2); },
         h("21 02 00 00 00 55 AA 00"),
         {},
         [](const State &s) { return Bytes{s.activeProfile}; },
         {2}},
        {"30H", [](Hid_Thread &l, uchar *d) { l.hid_30H_SetSevenColor(d); }, h("30 00 00 00 00 55 AA 00"),
         kPalette, [](const State &s) { return slice(active(s).palette, 64); }, kPalette},
    };
    return cases;
}

struct ReadCase {
    const char *name;
    Bytes packet;
    int dataBytes;
    std::function<void(State &)> prepare;
    std::function<Bytes(Hid_Thread &)> read;
    Bytes expected;
};

const std::vector<ReadCase> &readCases()
{
    const auto h = fixture::bytesFromHex;
    static const std::vector<ReadCase> cases = {
        {"80H layout 1",
         h("80 00 00 00 00 55 AA 00"),
         0,
         [](State &s) {
             s.firmwareVersion = 0x0203;
             s.layoutMode = 1;
         },
         getFirmware,
         {0x02, 0x03, 1}},
        {"80H layout 0",
         h("80 00 00 00 00 55 AA 00"),
         0,
         [](State &s) {
             s.firmwareVersion = 0x0203;
             s.layoutMode = 0;
         },
         getFirmware,
         {0x02, 0x03, 0}},
        // Only bit 1 of a[3] is the layout: a[3] = 01 is layout 0, FF layout 1.
        {"80H a[3] 01",
         h("80 00 00 00 00 55 AA 00"),
         0,
         [](State &s) {
             s.firmwareVersion = 0x0102;
             s.layoutMode = 0;
             s.modeOtherBits = 0x01;
         },
         getFirmware,
         {0x01, 0x02, 0}},
        {"80H a[3] FF",
         h("80 00 00 00 00 55 AA 00"),
         0,
         [](State &s) {
             s.firmwareVersion = 0x0102;
             s.layoutMode = 1;
             s.modeOtherBits = 0xFF;
         },
         getFirmware,
         {0x01, 0x02, 1}},
        {"82H",
         h("82 00 00 00 00 55 AA 00"),
         0,
         [](State &s) {
             put(s.options, {0x01, 0x22, 0x33});
         },
         getOptions,
         {0x01, 0x22, 0x33}},
        {"84H", h("84 00 00 00 00 55 AA 00"), 0, [](State &s) { s.sensitivity = 9; }, getSensitivity, {9}},
        {"88H",
         h("88 00 00 00 00 55 AA 00"),
         0,
         [](State &s) {
             put(s.profiles[0].lighting, {6, 5, 4, 3, 2, 1});
         },
         getLighting,
         {6, 5, 4, 3, 2, 1}},
        {"8CH", h("8C 00 00 00 00 55 AA 00"), 128, [](State &s) { put(s.profiles[0].keyMatrix, kBlock); },
         getMatrix1, kBlock},
        {"8DH", h("8D 00 00 00 00 55 AA 00"), 128,
         [](State &s) { put(s.profiles[0].keyMatrix + 128, kOtherBlock); }, getMatrix2, kOtherBlock},
        {"90H", h("90 00 07 00 00 55 AA 00"), 128, [](State &s) { put(s.profiles[0].macros[7], kBlock); },
         [](Hid_Thread &l) { return readBlock([&](uchar *b) { l.hid_90H_GetMacroKey(7, b); }); }, kBlock},
        {"92H", h("92 00 04 01 00 55 AA 00"), 128,
         [](State &s) { put(s.profiles[0].pictures[4][1], kPlane); },
         [](Hid_Thread &l) { return readBlock([&](uchar *b) { l.hid_92H_GetUserPicture(4, 1, b); }); },
         kPlane},
        {"A1H", h("A1 00 00 00 00 55 AA 00"), 0, [](State &s) { s.activeProfile = 3; }, getProfile, {3}},
        {"B0H", h("B0 00 00 00 00 55 AA 00"), 64, [](State &s) { put(s.profiles[0].palette, kPalette); },
         getPalette, kPalette},
    };
    return cases;
}

struct RoundTrip {
    const char *name;
    std::function<void(Hid_Thread &)> write;
    std::function<Bytes(Hid_Thread &)> read;
    Bytes expected;
};

const std::vector<RoundTrip> &roundTrips()
{
    static const std::vector<RoundTrip> cases = {
        {"matrix",
         [](Hid_Thread &l) {
             Bytes first = kBlock, second = kOtherBlock;
             l.hid_0CH_SetKeyMatrix_1(first.data());
             l.hid_0DH_SetKeyMatrix_2(second.data());
         },
         [](Hid_Thread &l) { return concat(getMatrix1(l), getMatrix2(l)); }, concat(kBlock, kOtherBlock)},
        // 37 lies beyond the first profile's 32 macro slots.
        {"macro",
         [](Hid_Thread &l) {
             Bytes block = kOtherBlock;
             l.hid_10H_SetMacroKey(37, block.data());
         },
         [](Hid_Thread &l) { return readBlock([&](uchar *b) { l.hid_90H_GetMacroKey(37, b); }); },
         kOtherBlock},
        {"picture",
         [](Hid_Thread &l) {
             for (uchar plane = 0; plane < 3; ++plane) {
                 Bytes block = pattern(128, plane, 0x3F);
                 l.hid_12H_SetUserPicture(6, plane, block.data());
             }
         },
         [](Hid_Thread &l) {
             Bytes all;
             for (uchar plane = 0; plane < 3; ++plane)
                 all = concat(all, readBlock([&](uchar *b) { l.hid_92H_GetUserPicture(6, plane, b); }));
             return all;
         },
         concat(concat(pattern(128, 0, 0x3F), pattern(128, 1, 0x3F)), pattern(128, 2, 0x3F))},
        {"palette",
         [](Hid_Thread &l) {
             Bytes block = kPalette;
             l.hid_30H_SetSevenColor(block.data());
         },
         getPalette, kPalette},
        {"lighting",
         [](Hid_Thread &l) { l.hid_08H_SetLEDType(3, 2, 1, 0, 4, 5); },
         getLighting,
         {3, 2, 1, 0, 4, 5}},
        {"options",
         [](Hid_Thread &l) { l.hid_02H_SetKeyboardoption(1, 0x44, 0x99); },
         getOptions,
         {1, 0x44, 0x99}},
        {"sensitivity", [](Hid_Thread &l) { l.hid_04H_SetButtonSensitivity(6); }, getSensitivity, {6}},
        {"profile", [](Hid_Thread &l) { l.hid_21H_SetCurrentProfile(3); }, getProfile, {3}},
    };
    return cases;
}

template <typename Case> void addRows(const std::vector<Case> &cases)
{
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("scrambled");
    for (bool scrambled : {false, true})
        for (int i = 0; i < int(cases.size()); ++i)
            QTest::addRow("%s %s", cases[i].name, scrambled ? "scrambled" : "plain") << i << scrambled;
}

} // namespace

class TestCommands : public QObject
{
    Q_OBJECT

private slots:
    void writeSendsItsReport_data() { addRows(writeCases()); }
    void writeSendsItsReport();
    void readTakesItsResults_data() { addRows(readCases()); }
    void readTakesItsResults();
    void roundTrip_data() { addRows(roundTrips()); }
    void roundTrip();
};

void TestCommands::writeSendsItsReport()
{
    QFETCH(int, index);
    QFETCH(bool, scrambled);
    const WriteCase &c = writeCases()[index];
    auto link = fixture::makeLink(q3emu::Scenario::Keyboard, scrambled);

    Bytes buffer = c.data;
    c.issue(*link, buffer.data());
    // The caller may reuse its buffer as soon as the command returns.
    std::fill(buffer.begin(), buffer.end(), 0xEE);
    QVERIFY(fixture::waitUntilIdle(*link));

    const auto sent = commandTrace(Kind::FeatureSent);
    QCOMPARE(int(sent.size()), 1);
    QCOMPARE(fixture::hex(sent[0].bytes), fixture::hex(featureReport(c.packet, scrambled)));

    const auto outputs = commandTrace(Kind::Output);
    QCOMPARE(int(outputs.size()), int(c.data.size()) / 64);
    for (int r = 0; r < int(outputs.size()); ++r) {
        const Bytes chunk(c.data.begin() + 64 * r, c.data.begin() + 64 * (r + 1));
        const Bytes expected = concat({packet::kReportId}, chunk);
        QCOMPARE(fixture::hex(outputs[r].bytes), fixture::hex(expected));
    }
    QVERIFY(commandTrace(Kind::FeatureRead).empty());
    QVERIFY(commandTrace(Kind::Input).empty());

    QCOMPARE(fixture::hex(c.kept(q3emu::state())), fixture::hex(c.expectedKept));
}

void TestCommands::readTakesItsResults()
{
    QFETCH(int, index);
    QFETCH(bool, scrambled);
    const ReadCase &c = readCases()[index];
    auto link = fixture::makeLink(q3emu::Scenario::Keyboard, scrambled);
    q3emu::KeyboardState s = q3emu::state();
    c.prepare(s);
    q3emu::setState(s);

    QCOMPARE(fixture::hex(c.read(*link)), fixture::hex(c.expected));

    const auto sent = commandTrace(Kind::FeatureSent);
    QCOMPARE(int(sent.size()), 1);
    QCOMPARE(fixture::hex(sent[0].bytes), fixture::hex(featureReport(c.packet, scrambled)));
    QCOMPARE(int(commandTrace(Kind::FeatureRead).size()), 1);
    QCOMPARE(int(commandTrace(Kind::Input).size()), c.dataBytes / 64);
    QVERIFY(commandTrace(Kind::Output).empty());
    QVERIFY(link->isLinkIdle());
}

void TestCommands::roundTrip()
{
    QFETCH(int, index);
    QFETCH(bool, scrambled);
    const RoundTrip &c = roundTrips()[index];
    auto link = fixture::makeLink(q3emu::Scenario::Keyboard, scrambled);

    // No wait in between: each read claims the link only after the writes'
    // transfers have given it back.
    c.write(*link);
    QCOMPARE(fixture::hex(c.read(*link)), fixture::hex(c.expected));
}

QTEST_GUILESS_MAIN(TestCommands)
#include "tst_commands.moc"
