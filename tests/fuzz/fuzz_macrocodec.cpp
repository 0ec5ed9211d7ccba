// The macro codec on arbitrary macro lines: the text QML edits and macro
// files keep, with the key names of the shipped key-code table.
//
// Input: byte 0 picks the layout's key names (bit 0), the rest is UTF-8
// text, one macro line per text line; the first line is also tried as a
// macro name.
//
// Promises checked besides the sanitizers' own: the stream is well formed
// and holds exactly one step per press or release of a known key and per
// positive delay, the delay's count being its tens of milliseconds, held at
// the largest count the word can carry; the block is the stream's first 128
// bytes with each word's bytes swapped; a name accepted for a macro file
// keeps the file inside its folder.
#include "definitions.h"
#include "macrocodec.h"
#include "macrostream.h"

#include "fuzzsandbox.h"

#include <QDir>

#include <algorithm>

namespace {

QMap<QString, uchar> keyCodes[2];

QList<fuzz::MacroStep> expectedSteps(const QStringList &lines, const QMap<QString, uchar> &codes)
{
    const QString press = macrocodec::pressSuffix();
    const QString release = macrocodec::releaseSuffix();
    const QString delay = macrocodec::delaySuffix();
    QList<fuzz::MacroStep> steps;
    for (const QString &line : lines) {
        const QString argument = line.left(std::max(0, int(line.size()) - macrocodec::kSuffixLength));
        if (line.endsWith(press) || line.endsWith(release)) {
            const uchar code = codes.value(argument, 0);
            if (code != 0)
                steps.append({uchar(line.endsWith(press) ? 0x01 : 0x81), code});
        } else if (line.endsWith(delay)) {
            const int ms = argument.toInt();
            if (ms > 0)
                steps.append({0x7F, std::min(ms / 10, 0xFFFF)});
        }
    }
    return steps;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    const QString table = QStringLiteral(GEARPANEL_SOURCE_DIR "/modules/setting/KeyCodeDef.bin");
    for (int layout = 0; layout < 2; ++layout)
        keyCodes[layout] = definitions::buildKeyCodes(
            definitions::loadList(table, QStringLiteral("%1/usbStr").arg(layout)),
            definitions::loadList(table, QStringLiteral("%1/usbCode").arg(layout)));
    fuzz::require(!keyCodes[0].isEmpty(), "the shipped key names are found");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const QMap<QString, uchar> &codes = keyCodes[data[0] & 1];
    const QStringList lines =
        QString::fromUtf8(reinterpret_cast<const char *>(data + 1), int(size - 1)).split(QLatin1Char('\n'));

    const QList<uchar> stream = macrocodec::encode(lines, codes);
    QList<fuzz::MacroStep> steps;
    fuzz::require(fuzz::parseMacroStream(stream, steps), "the stream is well formed");
    fuzz::require(steps == expectedSteps(lines, codes), "one step per usable line, with its value");

    const std::array<uchar, macrocodec::kBlockBytes> block = macrocodec::block(stream);
    for (int k = 0; k < macrocodec::kBlockBytes; ++k) {
        const int from = k ^ 1;
        fuzz::require(block[size_t(k)] == (from < stream.size() ? stream.at(from) : 0),
                      "the block holds the stream's words low byte first");
    }

    const QString name = lines.first();
    if (macrocodec::isSafeName(name)) {
        const QString folder = QStringLiteral("/p/modules/macro0");
        const QString file = QDir::cleanPath(folder + QLatin1Char('/') + name + QStringLiteral(".bin"));
        fuzz::require(file.startsWith(folder + QLatin1Char('/')) && !file.mid(folder.size() + 1).contains('/'),
                      "an accepted macro name stays in its folder");
    }
    return 0;
}
