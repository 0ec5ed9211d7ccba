#include "firmware.h"

#include <algorithm>
#include <cstring>

namespace q3emu::detail {

namespace {

constexpr uint8_t kStatusAccepted = 0xFF;

// Codes whose answer packet carries values; only these answers are scrambled.
bool isShortRead(uint8_t code)
{
    return code == 0x80 || code == 0x82 || code == 0x84 || code == 0x88 || code == 0xA1;
}

bool carriesEntryCode(const packet::Packet &p)
{
    return std::equal(packet::kBootLoaderEntryCode.begin(), packet::kBootLoaderEntryCode.end(),
                      p.begin() + 1);
}

} // namespace

NormalFirmware::NormalFirmware(KeyboardState &state) : s_(state) {}

ProfileState &NormalFirmware::activeProfile()
{
    return s_.profiles[s_.activeProfile % kProfileCount];
}

void NormalFirmware::restart()
{
    dataPhase_.reset();
    bootLoaderPending_ = false;
}

NormalFirmware::Reply NormalFirmware::command(const packet::Packet &wire)
{
    packet::Packet p = wire;
    if (scrambling_)
        packet::unscramble(p.data(), packet::kSecrecyCode.data());

    // A new command abandons a data phase the host did not finish.
    dataPhase_.reset();

    Reply r;
    r.answer = wire;
    packet::Packet &a = r.answer;
    if (isShortRead(p[0]))
        a = p;

    switch (p[0]) {
    case 0x02:
        std::copy(p.begin() + 1, p.begin() + 4, s_.options);
        break;
    case 0x04:
        s_.sensitivity = p[1];
        break;
    case 0x08:
        std::copy(p.begin() + 1, p.begin() + 7, activeProfile().lighting);
        break;
    case 0x09:
        ++s_.stopMacroCount;
        break;
    case 0x0C:
    case 0x0D:
    case 0x10:
    case 0x12:
        dataPhase_ = DataPhaseWrite{p, kBlockBytes, {}};
        break;
    case 0x30:
        dataPhase_ = DataPhaseWrite{p, kPaletteBytes, {}};
        break;
    case packet::kBootLoaderCommand:
        if (carriesEntryCode(p)) {
            ++s_.bootLoaderRequests;
            bootLoaderPending_ = true;
        }
        break;
    case 0x13:
        ++s_.recoveryCount;
        break;
    case 0x21:
        if (p[1] < kProfileCount)
            s_.activeProfile = p[1];
        break;
    case 0x80:
        a[1] = static_cast<uint8_t>(s_.firmwareVersion >> 8);
        a[2] = static_cast<uint8_t>(s_.firmwareVersion & 0xFF);
        a[3] = static_cast<uint8_t>(((s_.layoutMode & 1) << 1) | (s_.modeOtherBits & ~0x02));
        break;
    case 0x82:
        std::copy(s_.options, s_.options + 3, a.begin() + 1);
        break;
    case 0x84:
        a[1] = s_.sensitivity;
        break;
    case 0x88:
        std::copy(activeProfile().lighting, activeProfile().lighting + 6, a.begin() + 1);
        break;
    case 0xA1:
        a[1] = s_.activeProfile;
        break;
    case packet::kBootLoaderStatusQuery:
        if (bootLoaderPending_) {
            a[1] = kStatusAccepted;
            r.bootLoaderConfirmed = true;
        }
        break;
    case 0x8C:
    case 0x8D:
    case 0x90:
    case 0x92:
    case 0xB0:
        r.dataPhase = readBlock(p);
        break;
    default:
        break;
    }

    if (scrambling_ && isShortRead(p[0]))
        packet::scramble(a.data(), packet::kSecrecyCode.data());
    return r;
}

std::vector<uint8_t> NormalFirmware::readBlock(const packet::Packet &p)
{
    const ProfileState &active = activeProfile();
    switch (p[0]) {
    case 0x8C:
        return {active.keyMatrix, active.keyMatrix + kBlockBytes};
    case 0x8D:
        return {active.keyMatrix + kBlockBytes, active.keyMatrix + kMatrixBytes};
    case 0x90:
        if (p[2] < kProfileCount * kMacrosPerProfile) {
            const uint8_t *m = s_.profiles[p[2] / kMacrosPerProfile].macros[p[2] % kMacrosPerProfile];
            return {m, m + kBlockBytes};
        }
        break;
    case 0x92:
        if (p[2] < kPicturesPerProfile && p[3] < 3) {
            const uint8_t *plane = active.pictures[p[2]][p[3]];
            return {plane, plane + kBlockBytes};
        }
        break;
    case 0xB0:
        return {active.palette, active.palette + kPaletteBytes};
    }
    // Slots the keyboard does not have read as empty rather than leaving the
    // host waiting for reports that never come.
    return std::vector<uint8_t>(kBlockBytes, 0);
}

void NormalFirmware::output(const uint8_t *data, std::size_t length)
{
    if (!dataPhase_)
        return;
    DataPhaseWrite &w = *dataPhase_;
    const std::size_t take = std::min(length, w.expected - w.received.size());
    w.received.insert(w.received.end(), data, data + take);
    if (w.received.size() < w.expected)
        return;
    store(w);
    dataPhase_.reset();
}

void NormalFirmware::store(const DataPhaseWrite &w)
{
    const packet::Packet &p = w.command;
    const uint8_t *d = w.received.data();
    ProfileState &active = activeProfile();
    switch (p[0]) {
    case 0x0C:
        std::memcpy(active.keyMatrix, d, kBlockBytes);
        break;
    case 0x0D:
        std::memcpy(active.keyMatrix + kBlockBytes, d, kBlockBytes);
        break;
    case 0x10:
        if (p[2] < kProfileCount * kMacrosPerProfile)
            std::memcpy(s_.profiles[p[2] / kMacrosPerProfile].macros[p[2] % kMacrosPerProfile], d,
                        kBlockBytes);
        break;
    case 0x12:
        if (p[2] < kPicturesPerProfile && p[3] < 3)
            std::memcpy(active.pictures[p[2]][p[3]], d, kBlockBytes);
        break;
    case 0x30:
        std::memcpy(active.palette, d, kPaletteBytes);
        break;
    }
}

std::vector<uint8_t> NormalFirmware::eventReport()
{
    std::vector<uint8_t> r(kEventReportBytes, 0);
    const ProfileState &active = activeProfile();
    r[1] = s_.activeProfile;
    r[4] = active.lighting[0];
    r[5] = active.lighting[1];
    r[6] = active.lighting[2];
    return r;
}

std::vector<uint8_t> NormalFirmware::pressProfileKey(int profile)
{
    if (profile < 0 || profile >= kProfileCount)
        return {};
    s_.activeProfile = static_cast<uint8_t>(profile);
    return eventReport();
}

std::vector<uint8_t> NormalFirmware::pressLightingKeys(uint8_t effect, uint8_t brightness, uint8_t speed)
{
    ProfileState &active = activeProfile();
    active.lighting[0] = effect;
    active.lighting[1] = brightness;
    active.lighting[2] = speed;
    return eventReport();
}

} // namespace q3emu::detail
