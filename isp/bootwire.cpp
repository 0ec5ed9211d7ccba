#include "bootwire.h"

#include <algorithm>
#include <numeric>

namespace ispwire {

void put16(uint8_t *at, uint16_t value)
{
    at[0] = static_cast<uint8_t>(value & 0xFF);
    at[1] = static_cast<uint8_t>(value >> 8);
}

uint16_t get16(const uint8_t *at)
{
    return static_cast<uint16_t>(at[0] | (at[1] << 8));
}

void put32(uint8_t *at, uint32_t value)
{
    put16(at, static_cast<uint16_t>(value & 0xFFFF));
    put16(at + 2, static_cast<uint16_t>(value >> 16));
}

uint32_t get32(const uint8_t *at)
{
    return get16(at) | (static_cast<uint32_t>(get16(at + 2)) << 16);
}

Report encode(const Frame &frame)
{
    Report r{};
    r[0] = frame.code;
    r[1] = frame.seq;
    put16(&r[2], frame.a);
    put16(&r[4], frame.b);
    r[6] = static_cast<uint8_t>(std::min<std::size_t>(frame.count, kMaxData));
    std::copy_n(frame.data.begin(), r[6], r.begin() + 8);
    const unsigned sum = std::accumulate(r.begin(), r.end(), 0u);
    r[7] = static_cast<uint8_t>(kCheckTotal - sum);
    return r;
}

std::optional<Frame> decode(const uint8_t *report, std::size_t length)
{
    if (!report || length < kReportBytes)
        return std::nullopt;
    const unsigned sum = std::accumulate(report, report + kReportBytes, 0u);
    if (static_cast<uint8_t>(sum) != kCheckTotal || report[6] > kMaxData)
        return std::nullopt;
    Frame f;
    f.code = report[0];
    f.seq = report[1];
    f.a = get16(report + 2);
    f.b = get16(report + 4);
    f.count = report[6];
    std::copy_n(report + 8, f.count, f.data.begin());
    return f;
}

void putConnectData(Frame &answer, const ConnectData &d)
{
    uint8_t *p = answer.data.data();
    put16(p, d.pageSize);
    put16(p + 2, d.pageCount);
    put16(p + 4, d.blockSize);
    p[6] = d.protocol;
    p[7] = d.locked;
    p[8] = d.startMode;
    put16(p + 9, d.loaderVersion);
    answer.count = kConnectDataBytes;
}

std::optional<ConnectData> connectData(const Frame &answer)
{
    if (answer.count < kConnectDataBytes)
        return std::nullopt;
    const uint8_t *p = answer.data.data();
    return ConnectData{get16(p), get16(p + 2), get16(p + 4), p[6], p[7], p[8], get16(p + 9)};
}

} // namespace ispwire
