// The device link against a keyboard that answers anything: the emulated
// keyboard serves the fuzzer's bytes as answer feature reports and as the
// input reports of read transfers (short, long, missing), and queues its
// event reports on the event interface, while Hid_Thread runs its read
// commands, directly and through the view's slots, and its monitor.
//
// Input: one byte for scrambling, then up to eight actions: an event report,
// or a read command (or a view slot built on reads) with one raw exchange
// per command packet it sends and, now and then, a failed answer read.
//
// Promises checked besides the sanitizers' own: every read hands back what
// the read transfer defines for the bytes received (a short answer keeps the
// pre-image behind it, a failed read keeps the caller's values, a bulk read
// takes whole chunks until the first report that does not come); the view's
// profile and layout stay in range; the keyboard mode write sends back the
// option bytes read; exactly the 12-byte event reports reach the owner, in
// order, with bytes 1, 4, 5 and 6.
#include "fuzzsandbox.h"
#include "linkfixture.h"
#include "myquickview.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <cstring>
#include <mutex>

using q3emu::RawExchange;
using q3emu::TraceEntry;

namespace {

class Sink : public DeviceEventSink
{
public:
    void zzzTovrin(uchar profileNo, uchar effect, uchar brightness, uchar speed) override
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_events.push_back({profileNo, effect, brightness, speed});
    }
    std::vector<std::array<uchar, 4>> take()
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return std::exchange(m_events, {});
    }

private:
    std::mutex m_lock;
    std::vector<std::array<uchar, 4>> m_events;
};

fuzz::Sandbox *sandbox;
Sink *sink;
Hid_Thread *link;
myQQuickView *view;

constexpr int kMaxActions = 8;
constexpr size_t kMaxAnswer = 12;
constexpr size_t kMaxReport = 70;
constexpr int kMaxReports = 3;
constexpr int kReportLength = 64;

enum Action {
    EventReport,
    FirmwareVersion,
    KeyboardOption,
    Sensitivity,
    Lighting,
    CurrentProfile,
    KeyMatrix1,
    KeyMatrix2,
    MacroBlock,
    PictureBlock,
    Palette,
    ViewSync,
    ViewKeyMatrix,
    ViewGetters,
    ViewKeyboardMode,
    kActionCount
};

RawExchange consumeExchange(FuzzedDataProvider &in)
{
    RawExchange ex;
    ex.answer = in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<size_t>(0, kMaxAnswer));
    const int reports = in.ConsumeIntegralInRange(0, kMaxReports);
    for (int r = 0; r < reports; ++r)
        ex.inputReports.push_back(in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<size_t>(0, kMaxReport)));
    return ex;
}

// The 9-byte answer a short read ends with: the pre-image behind the bytes
// received, unscrambled when scrambling is on; the pre-image alone when
// the answer could not be read.
std::array<uint8_t, 9> shortAnswer(const packet::Packet &preImage, const RawExchange &ex, bool answered)
{
    std::array<uint8_t, 9> rx{};
    std::memcpy(rx.data() + 1, preImage.data(), preImage.size());
    if (!answered)
        return rx;
    std::copy_n(ex.answer.begin(), std::min(ex.answer.size(), rx.size()), rx.begin());
    if (isEncode)
        packet::unscramble(rx.data() + 1, packet::kSecrecyCode.data());
    return rx;
}

// What a bulk read leaves in a buffer that held `before`.
std::vector<uint8_t> bulkResult(const std::vector<uint8_t> &before, const RawExchange &ex, bool answered)
{
    std::vector<uint8_t> out = before;
    if (!answered)
        return out;
    const int n = int(before.size());
    size_t next = 0;
    for (int offset = 0; offset < n; offset += kReportLength) {
        if (next >= ex.inputReports.size() || ex.inputReports[next].empty())
            break;
        std::vector<uint8_t> report = ex.inputReports[next++];
        report.resize(kReportLength + 1, 0); // cut to the buffer, zero behind a short one
        std::copy_n(report.begin(), std::min(kReportLength, n - offset), out.begin() + offset);
    }
    return out;
}

// The command packets the keyboard received after the first `mark` trace
// entries, as built (unscrambled).
std::vector<packet::Packet> packetsSent(size_t mark)
{
    std::vector<packet::Packet> packets;
    const std::vector<TraceEntry> trace = q3emu::trace();
    for (size_t k = mark; k < trace.size(); ++k) {
        const TraceEntry &e = trace[k];
        if (e.kind != TraceEntry::Kind::FeatureSent || e.bytes.empty())
            continue;
        packet::Packet p{};
        std::copy_n(e.bytes.begin() + 1, std::min<size_t>(8, e.bytes.size() - 1), p.begin());
        if (isEncode)
            packet::unscramble(p.data(), packet::kSecrecyCode.data());
        packets.push_back(p);
    }
    return packets;
}

int packetsOf(Action action)
{
    switch (action) {
    case EventReport:
        return 0;
    case ViewSync:
    case ViewKeyMatrix:
    case ViewKeyboardMode:
        return 2;
    case ViewGetters:
        return 4;
    default:
        return 1;
    }
}

void bulkRead(Action action, FuzzedDataProvider &in, const RawExchange &ex, bool answered)
{
    std::vector<uint8_t> buffer = in.ConsumeBytes<uint8_t>(action == Palette ? 64 : 128);
    buffer.resize(action == Palette ? 64 : 128, 0xA5);
    const std::vector<uint8_t> expected = bulkResult(buffer, ex, answered);
    switch (action) {
    case KeyMatrix1:
        link->hid_8CH_GetKeyMatrix_1(buffer.data());
        break;
    case KeyMatrix2:
        link->hid_8DH_GetKeyMatrix_2(buffer.data());
        break;
    case MacroBlock:
        link->hid_90H_GetMacroKey(in.ConsumeIntegral<uint8_t>(), buffer.data());
        break;
    case PictureBlock:
        link->hid_92H_GetUserPicture(in.ConsumeIntegral<uint8_t>(), in.ConsumeIntegral<uint8_t>(), buffer.data());
        break;
    default:
        link->hid_B0H_GetSevenColor(buffer.data());
        break;
    }
    fuzz::require(buffer == expected, "a bulk read takes whole chunks up to the first missing report");
}

void run(Action action, FuzzedDataProvider &in)
{
    const int packets = packetsOf(action);
    std::vector<RawExchange> exchanges;
    for (int k = 0; k < packets; ++k)
        exchanges.push_back(consumeExchange(in));
    // A lost answer now and then: the first packet's answer cannot be read.
    const bool answered = (in.ConsumeIntegral<uint8_t>() & 0x0F) != 0;
    if (!answered)
        q3emu::failFeatureRead(1);
    q3emu::serveRawExchanges(exchanges);
    const size_t mark = q3emu::trace().size();

    const RawExchange &first = exchanges.front();
    switch (action) {
    case FirmwareVersion: {
        ushort version = in.ConsumeIntegral<ushort>();
        uchar mode = in.ConsumeIntegral<uchar>();
        const ushort versionBefore = version;
        const uchar modeBefore = mode;
        const auto rx = shortAnswer(packet::make(0x80), first, answered);
        link->hid_80H_GetFWVersion(version, mode);
        fuzz::require(answered ? version == rx[2] * 256 + rx[3] && mode == ((rx[4] >> 1) & 1)
                               : version == versionBefore && mode == modeBefore,
                      "80H reads version and mode, or leaves them");
        break;
    }
    case KeyboardOption: {
        uchar b[3] = {in.ConsumeIntegral<uchar>(), in.ConsumeIntegral<uchar>(), in.ConsumeIntegral<uchar>()};
        const auto rx = shortAnswer(packet::make(0x82, b[0], b[1], b[2]), first, answered);
        link->hid_82H_GetKeyboardoption(b[0], b[1], b[2]);
        fuzz::require(b[0] == rx[2] && b[1] == rx[3] && b[2] == rx[4], "82H reads its three bytes");
        break;
    }
    case Sensitivity: {
        uchar s = in.ConsumeIntegral<uchar>();
        const auto rx = shortAnswer(packet::make(0x84, s), first, answered);
        link->hid_84H_GetButtonSensitivity(s);
        fuzz::require(s == rx[2], "84H reads its byte");
        break;
    }
    case Lighting: {
        uchar v[6];
        for (uchar &b : v)
            b = in.ConsumeIntegral<uchar>();
        const auto rx = shortAnswer({0x88, v[0], v[1], v[2], v[3], v[4], v[5], 0x00}, first, answered);
        link->hid_88H_GetLEDType(v[0], v[1], v[2], v[3], v[4], v[5]);
        for (int k = 0; k < 6; ++k)
            fuzz::require(v[k] == rx[size_t(2 + k)], "88H reads its six bytes");
        break;
    }
    case CurrentProfile: {
        uchar p = in.ConsumeIntegral<uchar>();
        const auto rx = shortAnswer(packet::make(0xA1), first, answered);
        link->hid_A1H_GetCurrentProfile(p);
        fuzz::require(p == rx[2], "A1H reads its byte, 0 when the answer is lost");
        break;
    }
    case KeyMatrix1:
    case KeyMatrix2:
    case MacroBlock:
    case PictureBlock:
    case Palette:
        bulkRead(action, in, first, answered);
        break;
    case ViewSync:
        view->syncFW();
        fuzz::require(view->activeProfile() < 4, "the active profile is a slot");
        fuzz::require(view->keyboardLayout() <= 1, "the layout is a known one");
        // What the pages read next, from the slot the keyboard named.
        view->ui_88H_GetLEDType();
        view->ui_B0H_GetColor();
        view->ui_92H_GetUserPicture(0);
        view->getKeydefine(0);
        view->getMacroIniNames();
        break;
    case ViewKeyMatrix:
        fuzz::require(view->ui_8C8DH_GetKeyMatrix().size() == 256, "the key matrix has 256 bytes");
        break;
    case ViewGetters:
        view->ui_80H_GetFWVersion();
        view->ui_82H_GetKeyboardMode();
        view->ui_84H_GetButtonSensitivity();
        fuzz::require(view->ui_88H_GetLEDTypeX().size() == 6, "the lighting has six values");
        break;
    case ViewKeyboardMode: {
        const uchar mode = in.ConsumeIntegral<uchar>();
        const auto rx = shortAnswer(packet::make(0x82), first, answered);
        view->ui_02H_SetKeyboardMode(mode);
        fuzz::require(fixture::waitUntilIdle(*link), "the write ends");
        const std::vector<packet::Packet> sent = packetsSent(mark);
        fuzz::require(!sent.empty() && sent.back() == packet::make(0x02, mode, rx[3], rx[4]),
                      "the mode goes out with the other two option bytes as read");
        break;
    }
    default:
        break;
    }
    q3emu::serveRawExchanges({});
    q3emu::clearFaults();
}

// Waits until the monitor has read the `count` event reports queued since
// the trace was cleared (it reads one per cycle as soon as one is queued) and
// the owner has been told as often as `expected` says; collects what it was
// told in `got`. False when more arrive, or too few within 900 ms.
bool eventsDelivered(size_t count, const std::vector<std::array<uchar, 4>> &expected,
                     std::vector<std::array<uchar, 4>> &got)
{
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        size_t read = 0;
        for (const TraceEntry &e : q3emu::trace())
            read += e.kind == TraceEntry::Kind::Input && e.iface == q3emu::Interface::Event;
        const auto more = sink->take();
        got.insert(got.end(), more.begin(), more.end());
        if (read > count || got.size() > expected.size())
            return false;
        if (read == count && got.size() == expected.size())
            return true;
        if (timer.elapsed() > 900)
            return false;
        QThread::usleep(200);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    sandbox = fuzz::Sandbox::create();
    fuzz::startApplication();
    sandbox->installShippedModules();
    sink = new Sink;
    link = fixture::makeLink(q3emu::Scenario::Keyboard, false, nullptr).release();
    link->setOwner(sink);
    view = new myQQuickView;
    view->setHid(link);
    sandbox->snapshot();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const bool scrambled = in.ConsumeBool();
    isEncode = scrambled;
    q3emu::setScrambling(scrambled);
    q3emu::clearTrace();

    std::vector<std::vector<uint8_t>> events;
    for (int n = 0; n < kMaxActions && in.remaining_bytes() > 0; ++n) {
        const auto action = Action(in.ConsumeIntegralInRange<int>(0, kActionCount - 1));
        if (action == EventReport) {
            events.push_back(in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<size_t>(0, kMaxReport)));
            q3emu::emitEventReport(events.back());
        } else {
            run(action, in);
        }
    }

    std::vector<std::array<uchar, 4>> expected;
    for (const std::vector<uint8_t> &report : events)
        if (report.size() == 12)
            expected.push_back({report[1], report[4], report[5], report[6]});
    std::vector<std::array<uchar, 4>> got;
    fuzz::require(eventsDelivered(events.size(), expected, got) && got == expected,
                  "exactly the 12-byte event reports reach the owner, in order");
    QCoreApplication::processEvents();
    sandbox->check();
    return 0;
}
