#include "imagefile.h"

#include <algorithm>
#include <cstring>

namespace romwriter {
namespace imagefile {

namespace {

template <std::size_t N>
bool startsWith(const uint8_t *data, std::size_t size, const std::array<uint8_t, N> &with)
{
    return size >= N && std::equal(with.begin(), with.end(), data);
}

uint32_t bigEndian(const uint8_t *p, int bytes)
{
    uint32_t value = 0;
    for (int i = 0; i < bytes; ++i)
        value = (value << 8) | p[i];
    return value;
}

} // namespace

void descramble(uint8_t *image, std::size_t length, uint8_t a, uint8_t b)
{
    const uint8_t m = static_cast<uint8_t>((a & 0xAA) | (b & 0x55));
    const uint8_t key[4] = {a, b, m, static_cast<uint8_t>(~m)};
    for (std::size_t i = 0; i < length; ++i)
        image[i] ^= key[i % 4];
}

Contents parse(const uint8_t *data, std::size_t size)
{
    Contents out;
    // Refused before anything is taken from the file: the body would not fit
    // the buffer it is read into.
    if (size > kMaxFileSize) {
        out.verdict = Verdict::TooLong;
        return out;
    }

    // A file shorter than the header leaves the rest of the header zero.
    uint8_t header[kHeaderSize] = {};
    const std::size_t headerBytes = std::min(size, kHeaderSize);
    std::memcpy(header, data, headerBytes);
    const uint8_t *body = data + headerBytes;
    const std::size_t bodySize = size - headerBytes;

    out.magicHeader = startsWith(header, kHeaderSize, kMagic);
    if (!out.magicHeader) {
        const auto *end = std::find(header, header + kHeaderSize, 0);
        out.title.assign(reinterpret_cast<const char *>(header), end - header);
    }

    if (startsWith(body, bodySize, kNoImageMarker)) {
        out.verdict = Verdict::NoImage;
        return out;
    }
    if (bodySize < kImageHeaderSize) {
        out.verdict = Verdict::NoImageHeader;
        return out;
    }
    out.vendorId = static_cast<uint16_t>(bigEndian(body, 2));
    out.productId = static_cast<uint16_t>(bigEndian(body + 2, 2));

    const uint32_t length = bigEndian(body + 4, 3);
    if (length > bodySize - kImageHeaderSize) {
        out.verdict = Verdict::ImageCut;
        return out;
    }
    out.length = length;
    out.checksum = static_cast<uint16_t>(bigEndian(body + 7, 2));
    out.scrambleA = body[9];
    out.scrambleB = body[10];
    out.image.assign(body + kImageHeaderSize, body + kImageHeaderSize + length);
    descramble(out.image.data(), out.image.size(), out.scrambleA, out.scrambleB);
    out.verdict = Verdict::Usable;
    return out;
}

} // namespace imagefile
} // namespace romwriter
