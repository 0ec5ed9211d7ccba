#include "uimath.h"

#include "lightingpreview.h"

#include "macromath.h"

#include <QQmlEngine>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kStripSections = 8;

int clampChannel(int v)
{
    return v < 0 ? 0 : (v > 255 ? 255 : v);
}

// A number from an int, double, bool or the text of a number; false when
// there is none. Text like "12abc" is not a number.
bool readNumber(const QVariant &value, double &out)
{
    if (!value.isValid() || value.isNull())
        return false;
    bool ok = false;
    switch (value.userType()) {
    case QMetaType::Bool:
        out = value.toBool() ? 1 : 0;
        return true;
    case QMetaType::QString:
    case QMetaType::QByteArray:
        out = value.toString().trimmed().toDouble(&ok);
        break;
    default:
        if (!value.canConvert<double>())
            return false;
        out = value.toDouble(&ok);
        break;
    }
    return ok && std::isfinite(out);
}

} // namespace

QVariantList UiMath::stripColor(qreal p, qreal length) const
{
    if (!(length > 1) || !std::isfinite(length) || std::isnan(p))
        return {0, 0, 0};
    if (p < 0)
        p = 0;
    const double rate = p / (length - 1) / (1.0 / kStripSections);
    if (!(rate < kStripSections))
        return {0, 0, 0};
    const int section = static_cast<int>(std::floor(rate));
    const int t = static_cast<int>(std::lround((rate - section) * 255));
    int r = 0, g = 0, b = 0;
    switch (section) {
    case 0: r = t; break;
    case 1: r = 255; g = t; break;
    case 2: r = 255 - t; g = 255; break;
    case 3: g = 255; b = t; break;
    case 4: g = 255 - t; b = 255; break;
    case 5: r = t; b = 255; break;
    case 6: r = 255; g = t; b = 255; break;
    case 7: r = g = b = 255 - t; break;
    default: break;
    }
    return {clampChannel(r), clampChannel(g), clampChannel(b)};
}

int UiMath::brightnessValue(int step) const
{
    if (step < 0)
        step = 0;
    if (step > kMaxBrightnessStep)
        step = kMaxBrightnessStep;
    return 45 + step * 210 / kMaxBrightnessStep;
}

qreal UiMath::brightnessAlpha(int step) const
{
    return brightnessValue(step) / 255.0;
}

QColor UiMath::textColor(int r, int g, int b, int step) const
{
    return QColor(clampChannel(r), clampChannel(g), clampChannel(b), brightnessValue(step));
}

int UiMath::toInt(const QVariant &value, int min, int max, int fallback) const
{
    double n = 0;
    if (!readNumber(value, n) || n != std::floor(n) || n < min || n > max)
        return fallback;
    return static_cast<int>(n);
}

bool UiMath::toBool(const QVariant &value, bool fallback) const
{
    if (value.userType() == QMetaType::Bool)
        return value.toBool();
    if (value.userType() == QMetaType::QString || value.userType() == QMetaType::QByteArray) {
        const QString text = value.toString().trimmed().toLower();
        if (text == QLatin1String("true") || text == QLatin1String("1"))
            return true;
        if (text == QLatin1String("false") || text == QLatin1String("0"))
            return false;
        return fallback;
    }
    double n = 0;
    if (readNumber(value, n) && (n == 0 || n == 1))
        return n == 1;
    return fallback;
}

int UiMath::toChannel(const QVariant &value, int fallback) const
{
    double n = 0;
    if (!readNumber(value, n))
        return fallback;
    return clampChannel(static_cast<int>(std::lround(std::clamp(n, -1.0, 256.0))));
}

int UiMath::parseChannel(const QString &text) const
{
    if (text.isEmpty() || text.size() > 3)
        return -1;
    int v = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return -1;
        v = v * 10 + (c.unicode() - '0');
    }
    return v > 255 ? -1 : v;
}

int UiMath::keyCodeFromBytes(const QVariant &pair) const
{
    const QVariantList bytes = pair.toList();
    if (bytes.size() < 2)
        return 0;
    double low = 0, high = 0;
    if (!readNumber(bytes.at(0), low) || !readNumber(bytes.at(1), high) || !std::isfinite(low)
        || !std::isfinite(high))
        return 0;
    // Out-of-range values are cut to their byte rather than trusted whole.
    const long long lo = static_cast<long long>(std::fmod(low, 65536.0));
    const long long hi = static_cast<long long>(std::fmod(high, 65536.0));
    return int((lo & 0xFF) | ((hi << 8) & 0xFF00));
}

int UiMath::keyCodeKind(int code) const
{
    if (code < 0 || code > 0xFFFF)
        return -1;
    switch (code >> 12) {
    case 0x0:
        return 0;
    case 0x3:
        return 1;
    case 0x4:
        return 2;
    default:
        return -1;
    }
}

int UiMath::macroKeyCode(int index, int repeat) const
{
    return 0x4000 | ((repeat << 8) & 0x0F00) | (index & 0xFF);
}

bool UiMath::isStandardKeyCode(int code) const
{
    return code >= 0 && code <= 0xFF;
}

QVariantList UiMath::keyMatrixBytes(const QVariantList &codes) const
{
    QVariantList bytes;
    bytes.reserve(2 * kKeyMatrixPositions);
    for (int i = 0; i < kKeyMatrixPositions; ++i) {
        double value = 0;
        int code = 0;
        if (i < codes.size() && readNumber(codes.at(i), value) && std::isfinite(value) && value >= 0
            && value <= 0xFFFF)
            code = int(value);
        bytes << (code & 0xFF) << ((code >> 8) & 0xFF);
    }
    return bytes;
}

void registerGearpanelQmlTypes()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    qmlRegisterSingletonType<UiMath>("Gearpanel", 1, 0, "UiMath",
                                     [](QQmlEngine *, QJSEngine *) -> QObject * { return new UiMath; });
    qmlRegisterSingletonType<MacroMath>("Gearpanel", 1, 0, "MacroMath",
                                        [](QQmlEngine *, QJSEngine *) -> QObject * { return new MacroMath; });
    qmlRegisterType<LightingPreview>("Gearpanel", 1, 0, "LightingPreview");
}
