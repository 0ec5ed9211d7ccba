// imagewriter: makes romwriter's firmware file ("data.bin") from a raw image,
// or a demonstration image, or the file that announces no image; options
// spoil it on purpose for tests.
#include "imagewriter.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>

#include <cstdio>
#include <optional>

namespace {

int fail(const QString &message)
{
    std::fprintf(stderr, "imagewriter: %s\n", qPrintable(message));
    return 2;
}

// Decimal, or hexadecimal with 0x; nothing when it does not fit `max`.
std::optional<uint32_t> number(const QString &text, uint32_t max)
{
    bool ok = false;
    const qulonglong value = text.toULongLong(&ok, 0);
    if (!ok || value > max)
        return std::nullopt;
    return static_cast<uint32_t>(value);
}

bool save(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("imagewriter"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes a firmware file for romwriter (data.bin) from a raw image. Numbers are decimal or 0x hex."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("output"), QStringLiteral("The file to write."));
    const QCommandLineOption raw(QStringLiteral("raw"), QStringLiteral("The raw image to pack."),
                                 QStringLiteral("file"));
    const QCommandLineOption demo(
        QStringLiteral("demo"), QStringLiteral("Pack a demonstration image carrying this firmware version."),
        QStringLiteral("version"));
    const QCommandLineOption demoSize(QStringLiteral("demo-size"),
                                      QStringLiteral("Size of the demonstration image (default 32768)."),
                                      QStringLiteral("bytes"));
    const QCommandLineOption saveRaw(
        QStringLiteral("save-raw"), QStringLiteral("Also write the raw image here."), QStringLiteral("file"));
    const QCommandLineOption noImage(QStringLiteral("no-image"),
                                     QStringLiteral("Write the marker file that carries no image."));
    const QCommandLineOption title(QStringLiteral("title"),
                                   QStringLiteral("Header title (stored as GB18030) instead of the magic."),
                                   QStringLiteral("text"));
    const QCommandLineOption titleHex(QStringLiteral("title-hex"),
                                      QStringLiteral("Header title as raw bytes in hexadecimal."),
                                      QStringLiteral("hex"));
    const QCommandLineOption vendor(QStringLiteral("vendor-id"), QStringLiteral("Default 0x04D9."),
                                    QStringLiteral("id"));
    const QCommandLineOption product(QStringLiteral("product-id"), QStringLiteral("Default 0xA1CD."),
                                     QStringLiteral("id"));
    const QCommandLineOption scrambleA(QStringLiteral("scramble-a"),
                                       QStringLiteral("Scramble byte A (0x5A)."), QStringLiteral("byte"));
    const QCommandLineOption scrambleB(QStringLiteral("scramble-b"),
                                       QStringLiteral("Scramble byte B (0xC3)."), QStringLiteral("byte"));
    const QCommandLineOption checksum(QStringLiteral("checksum"),
                                      QStringLiteral("Write this checksum instead of the image's."),
                                      QStringLiteral("value"));
    const QCommandLineOption length(QStringLiteral("length"),
                                    QStringLiteral("Write this length instead of the image's."),
                                    QStringLiteral("bytes"));
    const QCommandLineOption trailing(QStringLiteral("trailing"),
                                      QStringLiteral("Append this many bytes after the image."),
                                      QStringLiteral("bytes"));
    const QCommandLineOption truncate(QStringLiteral("truncate"),
                                      QStringLiteral("Cut the file to this many bytes."),
                                      QStringLiteral("bytes"));
    parser.addOptions({raw, demo, demoSize, saveRaw, noImage, title, titleHex, vendor, product, scrambleA,
                       scrambleB, checksum, length, trailing, truncate});
    parser.process(app);

    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 1)
        return fail(QStringLiteral("give exactly one output file (see --help)"));
    const int sources = int(parser.isSet(raw)) + int(parser.isSet(demo)) + int(parser.isSet(noImage));
    if (sources != 1)
        return fail(QStringLiteral("give exactly one of --raw, --demo and --no-image"));

    imagewriter::Options options;
    if (parser.isSet(title) && parser.isSet(titleHex))
        return fail(QStringLiteral("--title and --title-hex exclude each other"));
    if (parser.isSet(title))
        options.title = imagewriter::encodeTitle(parser.value(title));
    if (parser.isSet(titleHex)) {
        options.title = QByteArray::fromHex(parser.value(titleHex).toLatin1());
        if (options.title.isEmpty())
            return fail(QStringLiteral("--title-hex needs at least one byte"));
    }

    struct Field {
        const QCommandLineOption &option;
        uint32_t max;
        std::optional<uint32_t> value;
    };
    Field fields[] = {{vendor, 0xFFFF, {}},     {product, 0xFFFF, {}},    {scrambleA, 0xFF, {}},
                      {scrambleB, 0xFF, {}},    {checksum, 0xFFFF, {}},   {length, 0xFFFFFF, {}},
                      {trailing, 1u << 24, {}}, {truncate, 1u << 24, {}}, {demo, 0xFFFF, {}},
                      {demoSize, 0xFFFFFF, {}}};
    for (Field &f : fields) {
        if (!parser.isSet(f.option))
            continue;
        f.value = number(parser.value(f.option), f.max);
        if (!f.value)
            return fail(
                QStringLiteral("--%1: not a number up to %2").arg(f.option.names().first()).arg(f.max));
    }
    options.vendorId = static_cast<uint16_t>(fields[0].value.value_or(options.vendorId));
    options.productId = static_cast<uint16_t>(fields[1].value.value_or(options.productId));
    options.scrambleA = static_cast<uint8_t>(fields[2].value.value_or(options.scrambleA));
    options.scrambleB = static_cast<uint8_t>(fields[3].value.value_or(options.scrambleB));
    if (fields[4].value)
        options.checksum = static_cast<uint16_t>(*fields[4].value);
    options.length = fields[5].value;
    options.trailingBytes = static_cast<int>(fields[6].value.value_or(0));
    options.truncateTo = fields[7].value ? static_cast<int>(*fields[7].value) : -1;

    QByteArray image;
    if (parser.isSet(raw)) {
        QFile in(parser.value(raw));
        if (!in.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("cannot read %1").arg(in.fileName()));
        image = in.readAll();
        if (image.isEmpty() || image.size() > 0xFFFFFF)
            return fail(QStringLiteral("%1: the image must hold 1 to 16777215 bytes").arg(in.fileName()));
    } else if (parser.isSet(demo)) {
        image =
            imagewriter::demoImage(static_cast<uint16_t>(*fields[8].value),
                                   static_cast<int>(fields[9].value.value_or(imagewriter::kDemoImageBytes)));
    }
    if (parser.isSet(saveRaw) && !image.isEmpty() && !save(parser.value(saveRaw), image))
        return fail(QStringLiteral("cannot write %1").arg(parser.value(saveRaw)));

    const QByteArray file =
        parser.isSet(noImage) ? imagewriter::noImageFile(options) : imagewriter::dataFile(image, options);
    if (!save(positional.first(), file))
        return fail(QStringLiteral("cannot write %1").arg(positional.first()));
    return 0;
}
