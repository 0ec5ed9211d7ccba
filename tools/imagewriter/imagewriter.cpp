#include "imagewriter.h"

#include "firmwareimage.h"

#include <QTextCodec>

#include <algorithm>

namespace imagewriter {

namespace {

void appendBigEndian(QByteArray &out, uint32_t value, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i)
        out.append(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void finish(QByteArray &file, const Options &options)
{
    if (options.trailingBytes > 0)
        file.append(QByteArray(options.trailingBytes, char(0xEE)));
    if (options.truncateTo >= 0 && options.truncateTo < file.size())
        file.truncate(options.truncateTo);
}

} // namespace

QByteArray header(const Options &options)
{
    QByteArray h(kHeaderBytes, '\0');
    if (options.title.isEmpty())
        std::copy(kMagic.begin(), kMagic.end(), h.begin());
    else
        std::copy_n(options.title.constBegin(), std::min(options.title.size(), kHeaderBytes), h.begin());
    return h;
}

QByteArray dataFile(const QByteArray &image, const Options &options)
{
    QByteArray file = header(options);
    const auto *raw = reinterpret_cast<const uint8_t *>(image.constData());
    const std::size_t n = static_cast<std::size_t>(image.size());
    appendBigEndian(file, options.vendorId, 2);
    appendBigEndian(file, options.productId, 2);
    appendBigEndian(file, options.length.value_or(static_cast<uint32_t>(n)) & 0xFFFFFF, 3);
    appendBigEndian(file, options.checksum.value_or(ispimage::sum16(raw, n)), 2);
    file.append(static_cast<char>(options.scrambleA));
    file.append(static_cast<char>(options.scrambleB));
    QByteArray body = image;
    scramble(body, options.scrambleA, options.scrambleB);
    file.append(body);
    finish(file, options);
    return file;
}

QByteArray noImageFile(const Options &options)
{
    QByteArray file = header(options);
    file.append(reinterpret_cast<const char *>(kNoImageMarker.data()), int(kNoImageMarker.size()));
    finish(file, options);
    return file;
}

void scramble(QByteArray &image, uint8_t a, uint8_t b)
{
    const uint8_t m = static_cast<uint8_t>((a & 0xAA) | (b & 0x55));
    const uint8_t keys[4] = {a, b, m, static_cast<uint8_t>(~m)};
    for (int i = 0; i < image.size(); ++i)
        image[i] = static_cast<char>(static_cast<uint8_t>(image[i]) ^ keys[i % 4]);
}

QByteArray demoImage(uint16_t version, int size)
{
    constexpr int kNameOffset = 0x110;
    size = std::max(size, kNameOffset + 16);
    QByteArray image(size, '\0');
    // A fixed linear congruential sequence: looks like code, is the same on
    // every run, and has bytes of every value so that scrambling shows.
    uint32_t x = 0x51330000u + version;
    for (int i = 0; i < size; ++i) {
        x = x * 1103515245u + 12345u;
        image[i] = static_cast<char>(x >> 16);
    }
    ispimage::stampVersion(reinterpret_cast<uint8_t *>(image.data()), static_cast<std::size_t>(size),
                           version);
    const QByteArray name = QStringLiteral("Q3 demo %1.%2")
                                .arg(version >> 8)
                                .arg(version & 0xFF, 2, 16, QLatin1Char('0'))
                                .toLatin1();
    QByteArray field(16, '\0');
    std::copy_n(name.constBegin(), std::min(name.size(), 15), field.begin());
    image.replace(kNameOffset, field.size(), field);
    return image;
}

QByteArray encodeTitle(const QString &text)
{
    QTextCodec *codec = QTextCodec::codecForName("GB18030");
    return codec ? codec->fromUnicode(text) : text.toLocal8Bit();
}

} // namespace imagewriter
