#include "bootloader.h"

#include "firmwareimage.h"

#include <algorithm>

namespace q3emu::detail {

namespace {

using namespace ispwire;

FlashGeometry clamped(const FlashGeometry &g)
{
    FlashGeometry c;
    c.pageSize = std::clamp(g.pageSize, 1, 4096);
    c.pageCount = std::clamp(g.pageCount, 0, 65535);
    c.blockSize = std::clamp(g.blockSize, 1, 4096);
    return c;
}

std::size_t existingBytes(const FlashGeometry &g)
{
    return std::min<std::size_t>(static_cast<std::size_t>(g.pageSize) * static_cast<std::size_t>(g.pageCount),
                                 kMaxFlashBytes);
}

// What the keyboard leaves the factory with: some code and the version block
// of firmware 0x0201, the rest erased.
std::vector<uint8_t> factoryFlash(std::size_t size)
{
    std::vector<uint8_t> flash(size, 0xFF);
    const std::size_t code = std::min<std::size_t>(size, 0x2000);
    for (std::size_t i = 0; i < code; ++i)
        flash[i] = static_cast<uint8_t>((i * 13 + 0x21) ^ (i >> 8));
    ispimage::stampVersion(flash.data(), flash.size(), BootLoaderFirmware::kFactoryFirmwareVersion);
    return flash;
}

} // namespace

BootLoaderFirmware::BootLoaderFirmware()
{
    factoryReset();
}

void BootLoaderFirmware::restart()
{
    session_ = false;
    std::fill(buffer_.begin(), buffer_.end(), 0xFF);
}

void BootLoaderFirmware::factoryReset()
{
    geometry_ = FlashGeometry{};
    flash_ = factoryFlash(existingBytes(geometry_));
    buffer_.assign(static_cast<std::size_t>(geometry_.blockSize), 0xFF);
    locked_ = false;
    session_ = false;
    startMode_ = 2;
    switches_ = 0;
    clearFaults();
}

void BootLoaderFirmware::setGeometry(const FlashGeometry &geometry)
{
    geometry_ = clamped(geometry);
    flash_.assign(existingBytes(geometry_), 0xFF);
    buffer_.assign(static_cast<std::size_t>(geometry_.blockSize), 0xFF);
    locked_ = false;
}

void BootLoaderFirmware::failStep(BootLoaderStep step, int count)
{
    stepFaults_[static_cast<std::size_t>(step)] = count;
}

void BootLoaderFirmware::garble(int count)
{
    garbled_ = count;
}

void BootLoaderFirmware::clearFaults()
{
    stepFaults_.fill(0);
    garbled_ = 0;
}

bool BootLoaderFirmware::injected(BootLoaderStep step)
{
    int &count = stepFaults_[static_cast<std::size_t>(step)];
    if (count == 0)
        return false;
    if (count > 0)
        --count;
    return true;
}

BootLoaderState BootLoaderFirmware::state() const
{
    return BootLoaderState{geometry_, flash_, locked_, session_, startMode_, switches_};
}

std::optional<uint16_t> BootLoaderFirmware::flashVersion() const
{
    return ispimage::versionOf(flash_.data(), flash_.size());
}

bool BootLoaderFirmware::pagesExist(uint32_t first, uint32_t count) const
{
    const uint64_t end = (static_cast<uint64_t>(first) + count) * static_cast<uint64_t>(geometry_.pageSize);
    return first + count <= static_cast<uint32_t>(geometry_.pageCount) && end <= flash_.size();
}

BootLoaderFirmware::Reply BootLoaderFirmware::output(const uint8_t *data, std::size_t length)
{
    Report raw{};
    std::copy_n(data, std::min(length, raw.size()), raw.begin());
    Reply reply;
    const std::optional<Frame> request = decode(raw.data(), raw.size());
    Frame answer;
    if (!request) {
        answer.code = raw[0];
        answer.seq = raw[1];
        answer.a = BadCheck;
    } else if (request->code == LoadBuffer) {
        // Streamed without answers; Program's CRC tells whether all arrived.
        if (session_) {
            const std::size_t at = request->a;
            const std::size_t n =
                std::min<std::size_t>(request->count, buffer_.size() - std::min(at, buffer_.size()));
            std::copy_n(request->data.begin(), n, buffer_.begin() + static_cast<std::ptrdiff_t>(at));
        }
        return reply;
    } else {
        answer = handle(*request);
        reply.leave = request->code == Run && answer.a == Ok && answer.b == 1;
    }
    Report out = encode(answer);
    if (garbled_ != 0) {
        if (garbled_ > 0)
            --garbled_;
        out[7] ^= 0x5A;
    }
    reply.answer = out;
    return reply;
}

Frame BootLoaderFirmware::handle(const Frame &rq)
{
    Frame an;
    an.code = rq.code;
    an.seq = rq.seq;
    auto status = [&an](Status s) {
        an.a = s;
        return an;
    };
    if (rq.code != Connect && rq.code != Disconnect && !session_)
        return status(rq.code >= Connect && rq.code <= Disconnect ? NoSession : UnknownCommand);

    const std::size_t pageSize = static_cast<std::size_t>(geometry_.pageSize);
    switch (rq.code) {
    case Connect: {
        if (rq.a != kConnectKey)
            return status(BadArgument);
        if (injected(BootLoaderStep::Connect))
            return status(Failed);
        session_ = true;
        std::fill(buffer_.begin(), buffer_.end(), 0xFF);
        putConnectData(an, ConnectData{static_cast<uint16_t>(geometry_.pageSize),
                                       static_cast<uint16_t>(geometry_.pageCount),
                                       static_cast<uint16_t>(geometry_.blockSize), kProtocolVersion,
                                       static_cast<uint8_t>(locked_), static_cast<uint8_t>(startMode_),
                                       kLoaderVersion});
        return status(Ok);
    }
    case ErasePage: {
        if (!pagesExist(rq.a, 1))
            return status(BadArgument);
        if (injected(BootLoaderStep::Erase))
            return status(Failed);
        std::fill_n(flash_.begin() + static_cast<std::ptrdiff_t>(rq.a * pageSize), pageSize, 0xFF);
        locked_ = false;
        return status(Ok);
    }
    case BlankCheck: {
        if (!pagesExist(rq.a, rq.b))
            return status(BadArgument);
        if (injected(BootLoaderStep::BlankCheck))
            return status(Failed);
        const auto first = flash_.begin() + static_cast<std::ptrdiff_t>(rq.a * pageSize);
        const auto last = first + static_cast<std::ptrdiff_t>(rq.b * pageSize);
        const auto used = std::find_if(first, last, [](uint8_t b) { return b != 0xFF; });
        if (used == last)
            return status(Ok);
        put32(an.data.data(), static_cast<uint32_t>(used - flash_.begin()));
        an.count = 4;
        return status(NotBlank);
    }
    case Program: {
        const std::size_t at = rq.a, n = rq.b;
        if (n == 0 || n > buffer_.size() || at + n > flash_.size() || rq.count < 2)
            return status(BadArgument);
        if (locked_)
            return status(Locked);
        if (ispimage::crc16(buffer_.data(), n) != get16(rq.data.data()))
            return status(BufferMismatch);
        if (injected(BootLoaderStep::Program))
            return status(Failed);
        // Flash cells only go from 1 to 0; what was not erased shows.
        bool took = true;
        for (std::size_t i = 0; i < n; ++i) {
            flash_[at + i] &= buffer_[i];
            took = took && flash_[at + i] == buffer_[i];
        }
        std::fill(buffer_.begin(), buffer_.end(), 0xFF);
        return status(took ? Ok : ProgramFailed);
    }
    case VerifyPage: {
        const std::size_t n = rq.b == 0 ? pageSize : rq.b;
        if (!pagesExist(rq.a, 1) || n > pageSize)
            return status(BadArgument);
        if (locked_)
            return status(Locked);
        if (injected(BootLoaderStep::Verify))
            return status(Failed);
        an.b = ispimage::crc16(flash_.data() + rq.a * pageSize, n);
        return status(Ok);
    }
    case SetStart:
        if (rq.a != 1 && rq.a != 2)
            return status(BadArgument);
        if (injected(BootLoaderStep::Execute))
            return status(Failed);
        startMode_ = rq.a;
        return status(Ok);
    case Lock:
        if (injected(BootLoaderStep::Lock))
            return status(Failed);
        locked_ = true;
        return status(Ok);
    case Run:
        session_ = false;
        an.b = startMode_ == 2 ? 1 : 0;
        return status(Ok);
    case Disconnect:
        session_ = false;
        return status(Ok);
    default:
        return status(UnknownCommand);
    }
}

} // namespace q3emu::detail
