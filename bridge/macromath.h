// Arithmetic of the macro page, kept in C++ so it can be tested from tables:
// the room a macro's lines take in the keyboard's 128-byte block, whether a
// recording may take one more key, and the delay field's value. QML reaches
// it as the singleton MacroMath of "import Gearpanel 1.0".
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

class MacroMath : public QObject
{
    Q_OBJECT
    // The endings of a macro line, as the macro files keep them.
    Q_PROPERTY(QString pressSuffix READ pressSuffix CONSTANT)
    Q_PROPERTY(QString releaseSuffix READ releaseSuffix CONSTANT)
    Q_PROPERTY(QString delaySuffix READ delaySuffix CONSTANT)
    Q_PROPERTY(int blockBytes READ blockBytes CONSTANT)
    Q_PROPERTY(int minDelay READ minDelay CONSTANT)
    Q_PROPERTY(int maxDelay READ maxDelay CONSTANT)
    // Places a profile offers for macros: a macro holding one of 0 to
    // macroPlaces - 1 is bound.
    Q_PROPERTY(int macroPlaces READ macroPlaces CONSTANT)
public:
    explicit MacroMath(QObject *parent = nullptr) : QObject(parent) {}

    static constexpr int kMinDelay = 10;
    static constexpr int kMaxDelay = 65535;

    QString pressSuffix() const;
    QString releaseSuffix() const;
    QString delaySuffix() const;
    int blockBytes() const;
    int minDelay() const { return kMinDelay; }
    int maxDelay() const { return kMaxDelay; }
    int macroPlaces() const;

    // Bytes one line adds to the stream: 2 for a press or release, 4 for a
    // delay over 0 ms, nothing for anything else. A key name the keyboard
    // does not know is counted too: the page cannot tell, and counting it
    // only ever leaves room unused.
    Q_INVOKABLE int lineBytes(const QString &line) const;
    // Bytes of the whole stream, start and end words included.
    Q_INVOKABLE int streamBytes(const QStringList &lines) const;
    // Whether a stream of `usedBytes` still takes a key press when
    // `heldKeys` keys are pressed and not yet released: the press, and the
    // releases of every held key and of this one, must all fit.
    Q_INVOKABLE bool roomForPress(int usedBytes, int heldKeys) const;
    // Whether it takes a release of a key that is not among the held ones
    // while keeping room for the held keys' releases.
    Q_INVOKABLE bool roomForLooseRelease(int usedBytes, int heldKeys) const;

    // The delay the field's text stands for: a whole number of up to five
    // digits, raised to 10 and cut to 65535. Anything else (empty, signs,
    // letters, more digits) gives the fallback.
    Q_INVOKABLE int delayValue(const QVariant &text, int fallback) const;
};
