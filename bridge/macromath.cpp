#include "macromath.h"

#include "macrocodec.h"

#include <QRegularExpression>

namespace {

constexpr int kWordBytes = 2;
constexpr int kDelayBytes = 4;
// The start word and the end word.
constexpr int kFrameBytes = 4;

} // namespace

QString MacroMath::pressSuffix() const
{
    return macrocodec::pressSuffix();
}

QString MacroMath::releaseSuffix() const
{
    return macrocodec::releaseSuffix();
}

QString MacroMath::delaySuffix() const
{
    return macrocodec::delaySuffix();
}

int MacroMath::blockBytes() const
{
    return macrocodec::kBlockBytes;
}

int MacroMath::macroPlaces() const
{
    return macrocodec::kPlacesPerProfile;
}

int MacroMath::lineBytes(const QString &line) const
{
    const QString suffix = line.right(macrocodec::kSuffixLength);
    if (line.size() < macrocodec::kSuffixLength)
        return 0;
    if (suffix == macrocodec::pressSuffix() || suffix == macrocodec::releaseSuffix())
        return kWordBytes;
    if (suffix == macrocodec::delaySuffix()) {
        // Same reading as the encoder: only a delay over 0 ms is sent.
        const int ms = line.left(line.size() - macrocodec::kSuffixLength).toInt();
        return ms > 0 ? kDelayBytes : 0;
    }
    return 0;
}

int MacroMath::streamBytes(const QStringList &lines) const
{
    int bytes = kFrameBytes;
    for (const QString &line : lines)
        bytes += lineBytes(line);
    return bytes;
}

bool MacroMath::roomForPress(int usedBytes, int heldKeys) const
{
    if (usedBytes < 0 || heldKeys < 0)
        return false;
    return usedBytes + kWordBytes * (heldKeys + 2) <= macrocodec::kBlockBytes;
}

bool MacroMath::roomForLooseRelease(int usedBytes, int heldKeys) const
{
    if (usedBytes < 0 || heldKeys < 0)
        return false;
    return usedBytes + kWordBytes * (heldKeys + 1) <= macrocodec::kBlockBytes;
}

int MacroMath::delayValue(const QVariant &text, int fallback) const
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,5}$"));
    const QString t = text.toString().trimmed();
    if (!digits.match(t).hasMatch())
        return fallback;
    return qBound(kMinDelay, t.toInt(), kMaxDelay);
}
