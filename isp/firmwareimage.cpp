#include "firmwareimage.h"

#include <algorithm>

namespace ispimage {

uint16_t sum16(const uint8_t *data, std::size_t n)
{
    uint32_t sum = 0;
    for (std::size_t i = 0; i < n; ++i)
        sum += data[i];
    return static_cast<uint16_t>(sum);
}

uint16_t crc16(const uint8_t *data, std::size_t n, uint16_t crc)
{
    for (std::size_t i = 0; i < n; ++i) {
        crc = static_cast<uint16_t>(crc ^ (data[i] << 8));
        for (int bit = 0; bit < 8; ++bit)
            crc = static_cast<uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
    }
    return crc;
}

std::optional<uint16_t> versionOf(const uint8_t *image, std::size_t n)
{
    if (!image || n < kVersionOffset + kVersionBlockBytes)
        return std::nullopt;
    const uint8_t *b = image + kVersionOffset;
    if (!std::equal(kVersionMagic.begin(), kVersionMagic.end(), b))
        return std::nullopt;
    if (static_cast<uint8_t>(~b[4]) != b[6] || static_cast<uint8_t>(~b[5]) != b[7])
        return std::nullopt;
    return static_cast<uint16_t>((b[4] << 8) | b[5]);
}

bool stampVersion(uint8_t *image, std::size_t n, uint16_t version)
{
    if (!image || n < kVersionOffset + kVersionBlockBytes)
        return false;
    uint8_t *b = image + kVersionOffset;
    std::copy(kVersionMagic.begin(), kVersionMagic.end(), b);
    b[4] = static_cast<uint8_t>(version >> 8);
    b[5] = static_cast<uint8_t>(version & 0xFF);
    b[6] = static_cast<uint8_t>(~b[4]);
    b[7] = static_cast<uint8_t>(~b[5]);
    return true;
}

} // namespace ispimage
