#include "macrocodec.h"

namespace macrocodec {

QString pressSuffix()
{
    return QStringLiteral("       [\u25BC]");
}

QString releaseSuffix()
{
    return QStringLiteral("       [\u25B2]");
}

QString delaySuffix()
{
    return QStringLiteral("      [ms]");
}

namespace {

constexpr uchar kPress = 0x01;
constexpr uchar kRelease = 0x81;
constexpr uchar kDelay = 0x7F;
// The largest count of tens of milliseconds the delay word can carry.
constexpr int kMaxDelayTens = 0xFFFF;

} // namespace

QList<uchar> encode(const QStringList &lines, const QMap<QString, uchar> &keyCodes)
{
    QList<uchar> stream{0x00, 0x01};
    for (const QString &line : lines) {
        const QString suffix = line.right(kSuffixLength);
        const QString argument = line.left(qMax(0, line.size() - kSuffixLength));
        const bool press = suffix == pressSuffix();
        if (press || suffix == releaseSuffix()) {
            const uchar code = keyCodes.value(argument, 0);
            if (code != 0)
                stream << (press ? kPress : kRelease) << code;
        } else if (suffix == delaySuffix()) {
            const int ms = argument.toInt();
            // A macro file can say anything: a negative delay is no delay,
            // and one longer than the word can carry waits as long as it can
            // instead of wrapping round to a short one.
            if (ms > 0) {
                // Under 10 ms the count is 0 and the step is still kept, as
                // the keyboard's own recordings do.
                const int tens = qMin(ms / 10, kMaxDelayTens);
                stream << kDelay << 0x00 << uchar(tens / 256) << uchar(tens % 256);
            }
        }
    }
    stream << 0x00 << 0x00;
    return stream;
}

std::array<uchar, kBlockBytes> block(const QList<uchar> &stream)
{
    std::array<uchar, kBlockBytes> out{};
    const int n = qMin(stream.size(), kBlockBytes);
    for (int k = 0; k + 1 < n; k += 2) {
        out[size_t(k)] = stream.at(k + 1);
        out[size_t(k + 1)] = stream.at(k);
    }
    return out;
}

uchar deviceId(int index, int profile)
{
    return uchar(index + kIdsPerProfile * profile);
}

bool isSafeName(const QString &name)
{
    // A leading dot also makes a hidden file, which the list of macros never
    // shows: a macro renamed so would vanish from every page.
    if (name.isEmpty() || name.startsWith(QLatin1Char('.')))
        return false;
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.isNull() ||
            c.category() == QChar::Other_Control)
            return false;
    }
    return true;
}

QString numberedName(int number)
{
    return QStringLiteral("Macro. %1").arg(number, 3, 10, QLatin1Char('0'));
}

} // namespace macrocodec
