// The settings bridge: QML's values turned into device commands, and what
// QML gave recorded in the active profile file so the pages can be rebuilt
// without asking the keyboard.
#include "bridgelog.h"
#include "hid_thread.h"
#include "myquickview.h"

#include <QSettings>

#include <array>

namespace {

constexpr int kKeys = 128;
constexpr int kMatrixValues = 2 * kKeys;
constexpr int kPictureValues = 3 * kKeys;
constexpr int kPaletteValues = 21;
constexpr int kPaletteBlock = 64;
// Option of ui_12H_SetUserPicture: store the picture, send nothing.
constexpr uchar kStoreOnly = 255;
// The mouse row of the device table; only it has a report rate.
constexpr uint kMouseDid = 1;
// The keyboard has no key of its own at position 61: it takes 45's code.
constexpr int kMirroredKey = 45;
constexpr int kMirrorKey = 61;
const char *const kCurrentFirmware = "02.03";

// Colours are 0..255 in QML and in the files, 0..63 on the device.
uchar deviceColour(const QVariant &component)
{
    return uchar(component.toInt() / 4);
}

QVariantList asInts(const QVariantList &values, int count)
{
    QVariantList out;
    out.reserve(count);
    for (int k = 0; k < count; ++k)
        out.append(values.at(k).toInt());
    return out;
}

bool longEnough(const QVariantList &values, int needed, const char *slot)
{
    if (values.size() >= needed)
        return true;
    qCWarning(lcBridge) << slot << "refused: got" << values.size() << "values, needs" << needed;
    return false;
}

} // namespace

void myQQuickView::ui_01H_SetReportRate(uchar rate)
{
    if (!canSend("ui_01H_SetReportRate"))
        return;
    if (!hid || hid->curDid() != kMouseDid)
        return;
    profile().setValue(QStringLiteral("sensor/reportRate_Q4"), int(rate));
}

void myQQuickView::ui_02H_SetKeyboardMode(uchar mode)
{
    if (!canSend("ui_02H_SetKeyboardMode"))
        return;
    if (!hid)
        return;
    // Only the first option byte is the mode; the others go back as read.
    uchar byte1 = 0, byte2 = 0, byte3 = 0;
    hid->hid_82H_GetKeyboardoption(byte1, byte2, byte3);
    hid->hid_02H_SetKeyboardoption(mode, byte2, byte3);
}

void myQQuickView::ui_04H_SetButtonSensitivity(uchar sens1)
{
    if (!canSend("ui_04H_SetButtonSensitivity"))
        return;
    if (hid)
        hid->hid_04H_SetButtonSensitivity(sens1);
}

void myQQuickView::ui_08H_SetLEDType(uchar type, uchar brightness, uchar speed, uchar direction, uchar color,
                                     uchar type_Side)
{
    if (!canSend("ui_08H_SetLEDType"))
        return;
    profile().setValue(
        QStringLiteral("color/ledType"),
        QVariantList{int(type), int(brightness), int(speed), int(direction), int(color), int(type_Side)});
    // The keyboard's slowest speed is 1; the page keeps its own 0.
    if (hid)
        hid->hid_08H_SetLEDType(type, brightness, speed == 0 ? 1 : speed, direction, color, type_Side);
}

void myQQuickView::ui_0C0DH_SetKeyMatrix(QVariantList src256)
{
    if (!canSend("ui_0C0DH_SetKeyMatrix"))
        return;
    if (!longEnough(src256, kMatrixValues, "ui_0C0DH_SetKeyMatrix"))
        return;
    QSettings &file = profile();
    for (int i = 0; i < kKeys; ++i)
        file.setValue(QStringLiteral("keydefine%1/%2").arg(int(layout)).arg(i),
                      QVariantList{src256.at(2 * i).toInt(), src256.at(2 * i + 1).toInt()});

    std::array<uchar, kMatrixValues> bytes{};
    for (int k = 0; k < kMatrixValues; ++k)
        bytes[size_t(k)] = uchar(src256.at(k).toInt());
    bytes[2 * kMirrorKey] = bytes[2 * kMirroredKey];
    bytes[2 * kMirrorKey + 1] = bytes[2 * kMirroredKey + 1];
    if (hid) {
        hid->hid_0CH_SetKeyMatrix_1(bytes.data());
        hid->hid_0DH_SetKeyMatrix_2(bytes.data() + kKeys);
    }
}

void myQQuickView::ui_12H_SetUserPicture(uchar index, uchar option, QVariantList src384)
{
    if (!longEnough(src384, kPictureValues, "ui_12H_SetUserPicture"))
        return;
    // Storing alone edits the file without claiming anything of the keyboard.
    if (option != kStoreOnly && !canSend("ui_12H_SetUserPicture"))
        return;
    profile().setValue(QStringLiteral("userPicture/%1").arg(int(index)), asInts(src384, kPictureValues));
    if (option == kStoreOnly || !hid)
        return;
    std::array<std::array<uchar, kKeys>, 3> planes{};
    for (int k = 0; k < kKeys; ++k)
        for (int c = 0; c < 3; ++c)
            planes[size_t(c)][size_t(k)] = deviceColour(src384.at(3 * k + c));
    for (auto &plane : planes)
        plane[kMirrorKey] = plane[kMirroredKey];
    for (int c = 0; c < 3; ++c)
        hid->hid_12H_SetUserPicture(index, uchar(c), planes[size_t(c)].data());
}

void myQQuickView::ui_13H_SetRecoveryData()
{
    if (!canSend("ui_13H_SetRecoveryData"))
        return;
    if (hid)
        hid->hid_13H_SetRecoveryData();
}

void myQQuickView::ui_21H_SetCurrentProfile(int profile)
{
    if (!canSend("ui_21H_SetCurrentProfile"))
        return;
    if (profile < 0 || profile >= profiles.size()) {
        qCWarning(lcBridge) << "ui_21H_SetCurrentProfile refused profile" << profile;
        return;
    }
    currentProfile = uchar(profile);
    if (hid)
        hid->hid_21H_SetCurrentProfile(currentProfile);
}

void myQQuickView::ui_30H_SetColor(QVariantList src21)
{
    if (!canSend("ui_30H_SetColor"))
        return;
    if (!longEnough(src21, kPaletteValues, "ui_30H_SetColor"))
        return;
    profile().setValue(QStringLiteral("color/color"), asInts(src21, kPaletteValues));
    std::array<uchar, kPaletteBlock> block{};
    for (int k = 0; k < kPaletteValues; ++k)
        block[size_t(k)] = deviceColour(src21.at(k));
    if (hid)
        hid->hid_30H_SetSevenColor(block.data());
}

bool myQQuickView::ui_80H_GetFWVersion()
{
    ushort version = 0;
    uchar mode = 0;
    if (hid)
        hid->hid_80H_GetFWVersion(version, mode);
    const QString text = version == 0 ? QStringLiteral("unknown")
                                      : QStringLiteral("%1.%2")
                                            .arg(version >> 8, 2, 16, QLatin1Char('0'))
                                            .arg(version & 0xFF, 2, 16, QLatin1Char('0'))
                                            .toUpper();
    qCDebug(lcBridge) << "firmware" << text;
    return text == QLatin1String(kCurrentFirmware);
}

QVariant myQQuickView::ui_80H_GetHWMode()
{
    return int(layout);
}

QVariant myQQuickView::ui_81H_GetReportRate()
{
    return 0;
}

QVariant myQQuickView::ui_82H_GetKeyboardMode()
{
    uchar byte1 = 0, byte2 = 0, byte3 = 0;
    if (hid)
        hid->hid_82H_GetKeyboardoption(byte1, byte2, byte3);
    return int(byte1);
}

QVariant myQQuickView::ui_84H_GetButtonSensitivity()
{
    uchar sens1 = 0;
    if (hid)
        hid->hid_84H_GetButtonSensitivity(sens1);
    return int(sens1);
}

QVariantList myQQuickView::ui_88H_GetLEDType()
{
    return profile().value(QStringLiteral("color/ledType"), 0).toList();
}

QVariantList myQQuickView::ui_88H_GetLEDTypeX()
{
    uchar v[6] = {};
    if (hid)
        hid->hid_88H_GetLEDType(v[0], v[1], v[2], v[3], v[4], v[5]);
    QVariantList out;
    for (uchar b : v)
        out.append(int(b));
    return out;
}

QVariantList myQQuickView::ui_8C8DH_GetKeyMatrix()
{
    std::array<uchar, kMatrixValues> bytes{};
    if (hid) {
        hid->hid_8CH_GetKeyMatrix_1(bytes.data());
        hid->hid_8DH_GetKeyMatrix_2(bytes.data() + kKeys);
    }
    QVariantList out;
    out.reserve(kMatrixValues);
    for (uchar b : bytes)
        out.append(int(b));
    return out;
}

QVariantList myQQuickView::ui_92H_GetUserPicture(uchar index)
{
    return profile().value(QStringLiteral("userPicture/%1").arg(int(index)), 0).toList();
}

QVariant myQQuickView::ui_A1H_GetCurrentProfile()
{
    return int(currentProfile);
}

QVariantList myQQuickView::ui_B0H_GetColor()
{
    return profile().value(QStringLiteral("color/color"), 0).toList();
}
