// Macros in the three forms they take: the text lines QML edits and the
// macro files keep, the byte stream of 16-bit words built from them, and the
// 128-byte block the keyboard stores for one macro.
#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <array>

namespace macrocodec {

// A line is an argument followed by one of these 10-character endings,
// compared character for character.
QString pressSuffix();   // seven spaces, "[▼]"
QString releaseSuffix(); // seven spaces, "[▲]"
QString delaySuffix();   // six spaces, "[ms]"
constexpr int kSuffixLength = 10;

constexpr int kBlockBytes = 128;
// The most lines a macro file is read with. A block holds 62 steps, so no
// real macro comes near it; a damaged or hostile file that claims millions
// must not have the GUI build, show and save them all.
constexpr int kMaxLines = 4096;
// Device places a profile offers for macros, and how far apart the profiles'
// macro ids lie on the device.
constexpr int kPlacesPerProfile = 17;
constexpr int kIdsPerProfile = 32;

// The stream: 00 01, then 01 nn (press), 81 nn (release) or 7F 00 dd dd
// (delay in tens of milliseconds, at most 0xFFFF) per line, then 00 00.
// Unknown names, a delay of 0 or less and other endings add nothing.
QList<uchar> encode(const QStringList &lines, const QMap<QString, uchar> &keyCodes);

// The first 128 bytes of the stream with each word stored low byte first,
// zero-filled behind a shorter stream.
std::array<uchar, kBlockBytes> block(const QList<uchar> &stream);

// The id the keyboard knows macro place `index` of profile `profile` by.
uchar deviceId(int index, int profile);

// Whether `name` can be a macro's file name inside its folder: not empty,
// not starting with "." (so neither "." nor ".." nor a hidden file), and free
// of "/", "\", NUL and control characters.
bool isSafeName(const QString &name);

// "Macro. 001", "Macro. 002", ...: the numbered names new macros take.
QString numberedName(int number);

} // namespace macrocodec
