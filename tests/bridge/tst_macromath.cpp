// The macro page's arithmetic: what a macro's lines take of the keyboard's
// 128-byte block, when a recording must stop, and the delay field's value.
#include "macromath.h"

#include <QtTest>

class tst_MacroMath : public QObject
{
    Q_OBJECT
private slots:
    void streamBytes_data();
    void streamBytes();
    void recordingFillsTheBlockEndingOnARelease_data();
    void recordingFillsTheBlockEndingOnARelease();
    void delayValue_data();
    void delayValue();
};

namespace {

QString press(const QString &name)
{
    return name + MacroMath().pressSuffix();
}
QString release(const QString &name)
{
    return name + MacroMath().releaseSuffix();
}
QString delay(const QString &ms)
{
    return ms + MacroMath().delaySuffix();
}

} // namespace

void tst_MacroMath::streamBytes_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("bytes");
    QTest::newRow("empty macro: start and end words") << QStringList{} << 4;
    QTest::newRow("press, delay, release") << QStringList{press("A"), delay("100"), release("A")} << 12;
    QTest::newRow("delay of 0 is not sent") << QStringList{delay("0")} << 4;
    QTest::newRow("delay under 10 ms is still sent") << QStringList{delay("9")} << 8;
    QTest::newRow("negative delay is not sent") << QStringList{delay("-5")} << 4;
    QTest::newRow("other endings add nothing") << QStringList{"A   [??]", "0", ""} << 4;
    QTest::newRow("a suffix alone is a step with no name") << QStringList{MacroMath().pressSuffix()} << 6;
    QStringList longest;
    for (int i = 0; i < 31; ++i)
        longest << press("A") << release("A");
    QTest::newRow("62 steps fill the block") << longest << 128;
    QStringList delays;
    for (int i = 0; i < 31; ++i)
        delays << delay("1000");
    QTest::newRow("31 delays fill the block") << delays << 128;
}

void tst_MacroMath::streamBytes()
{
    QFETCH(QStringList, lines);
    QFETCH(int, bytes);
    QCOMPARE(MacroMath().streamBytes(lines), bytes);
}

void tst_MacroMath::recordingFillsTheBlockEndingOnARelease_data()
{
    QTest::addColumn<int>("chord");
    QTest::addColumn<int>("rounds");
    // Keys pressed together, then released in turn, round after round.
    QTest::newRow("one key at a time, 70 times") << 1 << 70;
    QTest::newRow("two keys together") << 2 << 40;
    QTest::newRow("three keys together") << 3 << 30;
    QTest::newRow("five keys together") << 5 << 20;
}

void tst_MacroMath::recordingFillsTheBlockEndingOnARelease()
{
    // Plays the page's recording rule on a stream of key events: a press is
    // taken only while its release, and those of the keys still held, fit.
    QFETCH(int, chord);
    QFETCH(int, rounds);
    const MacroMath math;
    int used = 4;
    int held = 0;
    int steps = 0;
    bool stopped = false;
    for (int r = 0; r < rounds && !stopped; ++r) {
        for (int k = 0; k < chord; ++k) {
            if (!math.roomForPress(used, held)) {
                stopped = true;
                break;
            }
            used += 2;
            ++held;
            ++steps;
        }
        // Releases of held keys always fit: their room was kept.
        while (held > 0) {
            QVERIFY(used + 2 <= 128);
            used += 2;
            --held;
            ++steps;
        }
        if (!math.roomForPress(used, 0))
            stopped = true;
    }
    QVERIFY(stopped);
    QCOMPARE(held, 0);
    QVERIFY(used <= 128);
    // No chord leaves more than its own size unused.
    QVERIFY2(used > 128 - 2 * chord, qPrintable(QString::number(used)));
    QCOMPARE(steps % 2, 0);
    // A release of a key pressed before RECORD keeps the held keys' room.
    QVERIFY(!math.roomForLooseRelease(128, 0));
    QVERIFY(math.roomForLooseRelease(126, 0));
    QVERIFY(math.roomForLooseRelease(124, 1));
    QVERIFY(!math.roomForLooseRelease(126, 1));
    QVERIFY(!math.roomForPress(-2, 0));
    QVERIFY(!math.roomForPress(4, -1));
}

void tst_MacroMath::delayValue_data()
{
    QTest::addColumn<QVariant>("text");
    QTest::addColumn<int>("value");
    QTest::newRow("5 is raised to 10") << QVariant("5") << 10;
    QTest::newRow("0 is raised to 10") << QVariant("0") << 10;
    QTest::newRow("10 stays") << QVariant("10") << 10;
    QTest::newRow("1000 stays") << QVariant("1000") << 1000;
    QTest::newRow("65535 stays") << QVariant("65535") << 65535;
    QTest::newRow("five digits past 65535 are cut") << QVariant("99999") << 65535;
    QTest::newRow("leading zeros") << QVariant("00250") << 250;
    QTest::newRow("blanks around") << QVariant(" 300 ") << 300;
    QTest::newRow("a number, not text") << QVariant(42) << 42;
    QTest::newRow("six digits: fallback") << QVariant("100000") << -1;
    QTest::newRow("empty: fallback") << QVariant("") << -1;
    QTest::newRow("sign: fallback") << QVariant("-5") << -1;
    QTest::newRow("plus: fallback") << QVariant("+5") << -1;
    QTest::newRow("letters: fallback") << QVariant("12a") << -1;
    QTest::newRow("fraction: fallback") << QVariant("1.5") << -1;
    QTest::newRow("nothing: fallback") << QVariant() << -1;
}

void tst_MacroMath::delayValue()
{
    QFETCH(QVariant, text);
    QFETCH(int, value);
    QCOMPARE(MacroMath().delayValue(text, -1), value);
}

QTEST_APPLESS_MAIN(tst_MacroMath)

#include "tst_macromath.moc"
