// Arithmetic the QML documents need, kept in C++ so it can be tested from
// tables: the text colour strip, text brightness, and turning configuration
// entries (which may come back from the INI file as text) into checked
// values. QML reaches it as the singleton UiMath of "import Gearpanel 1.0".
#pragma once

#include <QColor>
#include <QObject>
#include <QVariant>

class UiMath : public QObject
{
    Q_OBJECT
public:
    explicit UiMath(QObject *parent = nullptr) : QObject(parent) {}

    // Brightness steps of the text colour, as the page's slider shows them.
    static constexpr int kMaxBrightnessStep = 7;

    // The colour at position p on a strip of the given length that runs
    // black, red, yellow, green, cyan, blue, magenta, white, black in eight
    // equal sections: [R, G, B], each 0..255. Positions before the strip
    // give its first colour, positions past it black; a strip shorter than
    // two pixels, or a position that is not a number, gives black.
    Q_INVOKABLE QVariantList stripColor(qreal p, qreal length) const;

    // The text alpha of a brightness step as 0..255: 45 + step * 210 / 7,
    // the step clamped to 0..7 first.
    Q_INVOKABLE int brightnessValue(int step) const;
    // The same as a fraction 0..1.
    Q_INVOKABLE qreal brightnessAlpha(int step) const;
    // The text colour: (r, g, b), each clamped to 0..255, with the alpha of
    // the brightness step.
    Q_INVOKABLE QColor textColor(int r, int g, int b, int step) const;

    // Configuration entries. An entry may be a number, a bool or the text of
    // either; anything unreadable or outside [min, max] gives the fallback.
    Q_INVOKABLE int toInt(const QVariant &value, int min, int max, int fallback) const;
    // true/false, 1/0 and their texts ("true", "false", "1", "0", any case);
    // anything else gives the fallback.
    Q_INVOKABLE bool toBool(const QVariant &value, bool fallback) const;
    // A colour channel: a number clamped to 0..255; unreadable gives the
    // fallback.
    Q_INVOKABLE int toChannel(const QVariant &value, int fallback) const;

    // The text of an R, G or B field: one to three digits worth 0..255, or
    // -1 when the text is no such value.
    Q_INVOKABLE int parseChannel(const QString &text) const;

    // Key codes of the key assignment page: 16 bits per matrix position,
    // the kind in bits 15..12.
    static constexpr int kKeyMatrixPositions = 128;
    static constexpr int kMacroPlaces = 17;

    // The code of a position from the profile's stored pair [low, high]
    // (numbers or their text); a missing or unreadable pair gives 0.
    Q_INVOKABLE int keyCodeFromBytes(const QVariant &pair) const;
    // 0 standard key, 1 media key, 2 macro key, -1 for a code the page
    // cannot show (another kind, or no 16-bit value at all).
    Q_INVOKABLE int keyCodeKind(int code) const;
    // The code that plays macro place `index` with the macro's repeat mode.
    Q_INVOKABLE int macroKeyCode(int index, int repeat) const;
    // Whether a key with this default code can be dropped onto the KEYBOARD
    // field: nothing above the low byte.
    Q_INVOKABLE bool isStandardKeyCode(int code) const;
    // The bytes the keyboard takes for its whole matrix: low then high byte
    // of each of the 128 positions. Codes beyond 128 are dropped and missing
    // ones sent as 0, so the list always has 256 values.
    Q_INVOKABLE QVariantList keyMatrixBytes(const QVariantList &codes) const;
};

// Registers the program's C++ types for QML ("import Gearpanel 1.0"). The
// view calls it before it loads its first document; the QML test runner
// calls it too. Calling it again does nothing.
void registerGearpanelQmlTypes();
