// The C ABI of ispdll.h over the boot loader's reports (bootwire.h).
//
// One process-wide state behind one mutex: the loaded image and the
// connection. Every exchange is bounded: a report that cannot be written
// ends the connection at once, and an answer is awaited at most
// kAnswerTimeoutMs, skipping reports that are corrupt or answer something
// else (a late answer to an earlier request that timed out).
#include "ispdll.h"

#include "bootwire.h"
#include "firmwareimage.h"

#include <hidapi.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <mutex>
#include <optional>
#include <vector>

namespace {

using namespace ispwire;
using Clock = std::chrono::steady_clock;

constexpr unsigned short kVendorId = 0x04D9;
constexpr unsigned short kProductId = 0x8022;
constexpr unsigned short kUsagePage = 0xFF00;
constexpr unsigned short kUsage = 0x0020;
constexpr int kAnswerTimeoutMs = 1000;

constexpr uint32_t kRecordBytes = 36;
// The MCU the keyboard carries, as reported before a boot loader is connected.
constexpr ConnectData kTarget = {512, 128, 1024, kProtocolVersion, 0, 2, 0};

struct State {
    std::mutex lock;
    std::vector<uint8_t> image;
    bool imageLoaded = false;
    hid_device *dev = nullptr;
    std::optional<ConnectData> connected; // set while a session is open
    uint8_t seq = 0;
};

State &state()
{
    static State *s = new State; // never destroyed: no exit-order surprises
    return *s;
}

const ConnectData &geometry(const State &s)
{
    return s.connected ? *s.connected : kTarget;
}

uint32_t flashBytes(const ConnectData &g)
{
    return static_cast<uint32_t>(
        std::min<uint64_t>(uint64_t(g.pageSize) * g.pageCount, ispimage::kMaxFlashBytes));
}

void closeDevice(State &s)
{
    if (s.dev)
        hid_close(s.dev);
    s.dev = nullptr;
    s.connected.reset();
}

int resultOf(const Frame &answer)
{
    switch (answer.a) {
    case Ok:
        return ISP_OK;
    case NotBlank:
        return ISP_E_MISMATCH;
    default:
        return ISP_E_DEVICE;
    }
}

bool send(State &s, const Frame &request)
{
    const Report r = encode(request);
    uint8_t out[kReportBytes + 1];
    out[0] = 0x00;
    std::memcpy(out + 1, r.data(), r.size());
    if (hid_write(s.dev, out, sizeof out) == static_cast<int>(sizeof out))
        return true;
    closeDevice(s); // the device is gone or broken: nothing more goes through
    return false;
}

// Sends `request` and waits for its answer. ISP_OK or ISP_E_DEVICE /
// ISP_E_MISMATCH by the answer's status, ISP_E_TRANSFER when nothing usable
// came back.
int transact(State &s, Frame request, Frame &answer)
{
    if (!s.dev)
        return ISP_E_NOT_CONNECTED;
    request.seq = ++s.seq;
    if (!send(s, request))
        return ISP_E_TRANSFER;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(kAnswerTimeoutMs);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            return ISP_E_TRANSFER;
        uint8_t in[kReportBytes + 1] = {};
        const int n = hid_read_timeout(s.dev, in, sizeof in, static_cast<int>(left.count()));
        if (n < 0) {
            closeDevice(s);
            return ISP_E_TRANSFER;
        }
        const std::optional<Frame> f = decode(in, static_cast<std::size_t>(n));
        if (f && f->code == request.code && f->seq == request.seq) {
            answer = *f;
            return resultOf(answer);
        }
    }
}

int command(State &s, uint8_t code, uint16_t a = 0, uint16_t b = 0, Frame *answerOut = nullptr)
{
    Frame request;
    request.code = code;
    request.a = a;
    request.b = b;
    Frame answer;
    const int result = transact(s, request, answer);
    if (answerOut)
        *answerOut = answer;
    return result;
}

// Pages [0, n) that hold image bytes, within the flash.
uint32_t imagePages(const State &s)
{
    const ConnectData &g = geometry(s);
    if (g.pageSize == 0)
        return 0;
    const uint32_t pages = static_cast<uint32_t>((s.image.size() + g.pageSize - 1) / g.pageSize);
    return std::min<uint32_t>(pages, g.pageCount);
}

// Image bytes [from, from + n), 0xFF past the image's end.
std::vector<uint8_t> imageSlice(const State &s, std::size_t from, std::size_t n)
{
    std::vector<uint8_t> bytes(n, 0xFF);
    if (from < s.image.size())
        std::copy_n(s.image.begin() + static_cast<std::ptrdiff_t>(from), std::min(n, s.image.size() - from),
                    bytes.begin());
    return bytes;
}

int requireSession(const State &s)
{
    return s.dev && s.connected ? ISP_OK : ISP_E_NOT_CONNECTED;
}

void putField(void *record, std::size_t offset, uint32_t value)
{
    std::memcpy(static_cast<uint8_t *>(record) + offset, &value, sizeof value);
}

template <typename T> void put(T *out, T value)
{
    if (out)
        *out = value;
}

} // namespace

extern "C" {

int LoadProgdata(unsigned char *data, unsigned int length, unsigned int *out1, unsigned short *out2,
                 unsigned int *out3, unsigned short *out4, unsigned int *out5, unsigned short *out6)
{
    State &s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    s.imageLoaded = false;
    s.image.clear();
    put(out1, 0u);
    put<unsigned short>(out2, 0);
    put(out3, 0u);
    put<unsigned short>(out4, 0);
    put(out5, 0u);
    put<unsigned short>(out6, 0);
    if (!data)
        return ISP_E_NO_IMAGE;
    if (length == 0 || length > ispimage::kMaxFlashBytes ||
        (s.connected && length > flashBytes(*s.connected)))
        return ISP_E_ARGUMENT;
    s.image.assign(data, data + length);
    s.imageLoaded = true;
    uint32_t sum = 0;
    for (uint8_t b : s.image)
        sum += b;
    put(out1, length);
    put(out2, ispimage::kPlainImageFormat);
    put(out3, sum);
    put(out4, ispimage::crc16(s.image.data(), s.image.size()));
    const uint32_t pageSize = std::max<uint32_t>(geometry(s).pageSize, 1);
    put(out5, (length + pageSize - 1) / pageSize);
    put<unsigned short>(out6, ispimage::versionOf(s.image.data(), s.image.size()).value_or(0));
    return ISP_OK;
}

int GetMCUInfo(void *record)
{
    if (!record)
        return 0;
    uint32_t size = 0;
    std::memcpy(&size, record, sizeof size);
    if (size < kRecordBytes)
        return 0;
    State &s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    const ConnectData &g = geometry(s);
    putField(record, 4, g.pageSize);
    putField(record, 8, g.pageCount);
    putField(record, 12,
             static_cast<uint32_t>(std::min<uint64_t>(uint64_t(g.pageSize) * g.pageCount, UINT32_MAX)));
    putField(record, 16, g.blockSize);
    putField(record, 20, g.protocol);
    putField(record, 24, s.connected ? g.locked : 0);
    putField(record, 28, s.connected ? 1 : 0);
    putField(record, 32, s.connected ? g.loaderVersion : 0);
    return 1;
}

unsigned short GetChksum(int kind)
{
    State &s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    if (!s.imageLoaded)
        return 0;
    if (kind == 1)
        return ispimage::sum16(s.image.data(), s.image.size());
    if (kind == 2)
        return ispimage::crc16(s.image.data(), s.image.size());
    return 0;
}

int ConnectToBootloader(void)
{
    State &s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    if (s.connected) {
        Frame ignored;
        command(s, Disconnect, 0, 0, &ignored);
    }
    closeDevice(s);
    hid_init();

    hid_device_info *list = hid_enumerate(kVendorId, kProductId);
    for (hid_device_info *d = list; d && !s.dev; d = d->next)
        if (d->usage_page == kUsagePage && d->usage == kUsage && d->path)
            s.dev = hid_open_path(d->path);
    hid_free_enumeration(list);
    if (!s.dev)
        return ISP_E_NOT_CONNECTED;
    hid_set_nonblocking(s.dev, 0);
    // Answers left over from a host that gave up would only be skipped one
    // by one later; drop them now.
    uint8_t stale[kReportBytes + 1];
    for (int i = 0; i < 64 && hid_read_timeout(s.dev, stale, sizeof stale, 0) > 0; ++i) {
    }

    Frame answer;
    const int result = command(s, Connect, kConnectKey, 0, &answer);
    std::optional<ConnectData> info = result == ISP_OK ? connectData(answer) : std::nullopt;
    if (!info || info->protocol != kProtocolVersion || info->blockSize == 0 || info->pageSize == 0) {
        closeDevice(s);
        return result != ISP_OK ? result : ISP_E_DEVICE;
    }
    s.connected = info;
    return ISP_OK;
}

int EraseByPage(unsigned short page, int a, int)
{
    State &s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    if (int r = requireSession(s))
        return r;
    if (page >= s.connected->pageCount || (a != 0 && a != 1))
        return ISP_E_ARGUMENT;
    if (int r = command(s, ErasePage, page))
        return r;
    return a == 1 ? command(s, ispwire::BlankCheck, page, 1) : ISP_OK;
}

int BlankCheck(int a)
{
    State &s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    if (int r = requireSession(s))
        return r;
    if (a != 0 && a != 1)
        return ISP_E_ARGUMENT;
    if (a == 1 && !s.imageLoaded)
        return ISP_E_NO_IMAGE;
    const uint32_t pages = a == 0 ? s.connected->pageCount : imagePages(s);
    return command(s, ispwire::BlankCheck, 0, static_cast<uint16_t>(pages));
}

int PartialProgram(unsigned short startAddress, unsigned short length)
{
    State &s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    if (int r = requireSession(s))
        return r;
    if (!s.imageLoaded)
        return ISP_E_NO_IMAGE;
    if (length == 0 || length > s.connected->blockSize ||
        uint32_t(startAddress) + length > flashBytes(*s.connected))
        return ISP_E_ARGUMENT;

    const std::vector<uint8_t> bytes = imageSlice(s, startAddress, length);
    for (std::size_t at = 0; at < bytes.size(); at += kMaxData) {
        Frame chunk;
        chunk.code = LoadBuffer;
        chunk.seq = ++s.seq;
        chunk.a = static_cast<uint16_t>(at);
        chunk.count = static_cast<uint8_t>(std::min(kMaxData, bytes.size() - at));
        std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(at), chunk.count, chunk.data.begin());
        if (!send(s, chunk))
            return ISP_E_TRANSFER;
    }
    Frame request;
    request.code = Program;
    request.a = startAddress;
    request.b = length;
    request.count = 2;
    put16(request.data.data(), ispimage::crc16(bytes.data(), bytes.size()));
    Frame answer;
    return transact(s, request, answer);
}

int VerifyByPage(unsigned short page, int a, int)
{
    State &s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    if (int r = requireSession(s))
        return r;
    if (!s.imageLoaded)
        return ISP_E_NO_IMAGE;
    const std::size_t pageSize = s.connected->pageSize;
    const std::size_t from = std::size_t(page) * pageSize;
    if (page >= s.connected->pageCount || from + pageSize > ispimage::kMaxFlashBytes || (a != 0 && a != 1))
        return ISP_E_ARGUMENT;
    const std::size_t n =
        a == 1 ? pageSize : std::min(pageSize, s.image.size() - std::min(from, s.image.size()));
    if (n == 0)
        return ISP_OK; // the image does not reach this page
    const std::vector<uint8_t> expected = imageSlice(s, from, n);
    Frame answer;
    if (int r = command(s, VerifyPage, page, static_cast<uint16_t>(n == pageSize ? 0 : n), &answer))
        return r;
    return answer.b == ispimage::crc16(expected.data(), expected.size()) ? ISP_OK : ISP_E_MISMATCH;
}

int ExecuteProgramFrom(int a)
{
    State &s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    if (int r = requireSession(s))
        return r;
    if (a != 1 && a != 2)
        return ISP_E_ARGUMENT;
    return command(s, SetStart, static_cast<uint16_t>(a));
}

int LockAll(void)
{
    State &s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    if (requireSession(s) != ISP_OK)
        return 0;
    return command(s, Lock) == ISP_OK ? 1 : 0;
}

int SwitchToUserProgram(void)
{
    State &s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    if (int r = requireSession(s))
        return r;
    const int result = command(s, Run);
    // The boot loader has ended the session either way, and may be gone.
    closeDevice(s);
    return result;
}

int DisConnectBootloader(void)
{
    State &s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    if (s.dev && s.connected)
        command(s, Disconnect);
    closeDevice(s);
    return ISP_OK;
}

} // extern "C"
