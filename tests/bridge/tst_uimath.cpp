// The UI's arithmetic: the text colour strip, brightness, and reading
// configuration entries that may come back as text or be damaged.
#include "uimath.h"

#include <QtTest>

#include <climits>
#include <cmath>
#include <limits>

class tst_UiMath : public QObject
{
    Q_OBJECT
private slots:
    void stripColor_data();
    void stripColor();
    void stripColorEveryPixelIsAChannelTriple();
    void brightness_data();
    void brightness();
    void textColorClampsChannels();
    void toInt_data();
    void toInt();
    void toBool_data();
    void toBool();
    void toChannel_data();
    void toChannel();
    void parseChannel_data();
    void parseChannel();
    void keyCodeFromBytes_data();
    void keyCodeFromBytes();
    void keyCodeKind_data();
    void keyCodeKind();
    void macroKeyCode_data();
    void macroKeyCode();
    void keyMatrixBytes_data();
    void keyMatrixBytes();

private:
    UiMath math;
};

void tst_UiMath::stripColor_data()
{
    QTest::addColumn<double>("p");
    QTest::addColumn<double>("length");
    QTest::addColumn<int>("r");
    QTest::addColumn<int>("g");
    QTest::addColumn<int>("b");

    // A strip of 9 pixels makes rate == p, so each section's middle is p + 0.5
    // and t == round(127.5) == 128.
    QTest::newRow("s0 red rises") << 0.5 << 9.0 << 128 << 0 << 0;
    QTest::newRow("s1 green rises") << 1.5 << 9.0 << 255 << 128 << 0;
    QTest::newRow("s2 red falls") << 2.5 << 9.0 << 127 << 255 << 0;
    QTest::newRow("s3 blue rises") << 3.5 << 9.0 << 0 << 255 << 128;
    QTest::newRow("s4 green falls") << 4.5 << 9.0 << 0 << 127 << 255;
    QTest::newRow("s5 red rises") << 5.5 << 9.0 << 128 << 0 << 255;
    QTest::newRow("s6 green rises") << 6.5 << 9.0 << 255 << 128 << 255;
    QTest::newRow("s7 white falls") << 7.5 << 9.0 << 127 << 127 << 127;
    QTest::newRow("quarter rounds up") << 1.25 << 9.0 << 255 << 64 << 0;

    // Section borders start the next section at t == 0.
    QTest::newRow("border red") << 1.0 << 9.0 << 255 << 0 << 0;
    QTest::newRow("border yellow") << 2.0 << 9.0 << 255 << 255 << 0;
    QTest::newRow("border green") << 3.0 << 9.0 << 0 << 255 << 0;
    QTest::newRow("border cyan") << 4.0 << 9.0 << 0 << 255 << 255;
    QTest::newRow("border blue") << 5.0 << 9.0 << 0 << 0 << 255;
    QTest::newRow("border magenta") << 6.0 << 9.0 << 255 << 0 << 255;
    QTest::newRow("border white") << 7.0 << 9.0 << 255 << 255 << 255;

    // The page's strip of 96 pixels.
    QTest::newRow("96 start black") << 0.0 << 96.0 << 0 << 0 << 0;
    QTest::newRow("96 last before red") << 11.0 << 96.0 << 236 << 0 << 0;
    QTest::newRow("96 first after red") << 12.0 << 96.0 << 255 << 3 << 0;
    QTest::newRow("96 middle") << 48.0 << 96.0 << 0 << 244 << 255;
    QTest::newRow("96 end black") << 95.0 << 96.0 << 0 << 0 << 0;
    QTest::newRow("96 last before end") << 94.0 << 96.0 << 21 << 21 << 21;

    // Off the strip and degenerate strips: black, never a division by zero.
    QTest::newRow("past end") << 500.0 << 96.0 << 0 << 0 << 0;
    QTest::newRow("before start") << -7.0 << 96.0 << 0 << 0 << 0;
    QTest::newRow("length 1") << 0.0 << 1.0 << 0 << 0 << 0;
    QTest::newRow("length 0") << 3.0 << 0.0 << 0 << 0 << 0;
    QTest::newRow("negative length") << 3.0 << -96.0 << 0 << 0 << 0;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("nan position") << nan << 96.0 << 0 << 0 << 0;
    QTest::newRow("nan length") << 10.0 << nan << 0 << 0 << 0;
    QTest::newRow("infinite position") << inf << 96.0 << 0 << 0 << 0;
    QTest::newRow("infinite length") << 10.0 << inf << 0 << 0 << 0;
}

void tst_UiMath::stripColor()
{
    QFETCH(double, p);
    QFETCH(double, length);
    QFETCH(int, r);
    QFETCH(int, g);
    QFETCH(int, b);
    const QVariantList rgb = math.stripColor(p, length);
    QCOMPARE(rgb, (QVariantList{r, g, b}));
}

void tst_UiMath::stripColorEveryPixelIsAChannelTriple()
{
    // Walking the strip at sub-pixel steps never leaves 0..255, and the
    // colour changes by small steps only (no jump at a section border).
    QVariantList last = math.stripColor(0, 96);
    for (double p = 0; p <= 95; p += 0.25) {
        const QVariantList rgb = math.stripColor(p, 96);
        QCOMPARE(rgb.size(), 3);
        for (int i = 0; i < 3; ++i) {
            const int v = rgb.at(i).toInt();
            QVERIFY2(v >= 0 && v <= 255, qPrintable(QString::number(p)));
            if (p < 95)
                QVERIFY2(std::abs(v - last.at(i).toInt()) <= 6, qPrintable(QString::number(p)));
        }
        last = rgb;
    }
}

void tst_UiMath::brightness_data()
{
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("value");
    for (int step = 0; step <= 7; ++step)
        QTest::addRow("step %d", step) << step << 45 + step * 30;
    QTest::newRow("below") << -1 << 45;
    QTest::newRow("above") << 8 << 255;
    QTest::newRow("int min") << INT_MIN << 45;
    QTest::newRow("int max") << INT_MAX << 255;
}

void tst_UiMath::brightness()
{
    QFETCH(int, step);
    QFETCH(int, value);
    QCOMPARE(math.brightnessValue(step), value);
    QCOMPARE(math.brightnessAlpha(step), value / 255.0);
    QCOMPARE(math.textColor(10, 20, 30, step).alpha(), value);
}

void tst_UiMath::textColorClampsChannels()
{
    QCOMPARE(math.textColor(1, 2, 3, 7), QColor(1, 2, 3, 255));
    QCOMPARE(math.textColor(300, -1, 128, 0), QColor(255, 0, 128, 45));
}

void tst_UiMath::toInt_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<int>("expected");
    // Range 0..7, fallback 7, as the brightness entry is read.
    QTest::newRow("int") << QVariant(3) << 3;
    QTest::newRow("text") << QVariant(QStringLiteral("3")) << 3;
    QTest::newRow("text with spaces") << QVariant(QStringLiteral(" 4 ")) << 4;
    QTest::newRow("whole double") << QVariant(2.0) << 2;
    QTest::newRow("lower bound") << QVariant(0) << 0;
    QTest::newRow("fraction") << QVariant(2.5) << 7;
    QTest::newRow("fraction text") << QVariant(QStringLiteral("2.5")) << 7;
    QTest::newRow("above range") << QVariant(8) << 7;
    QTest::newRow("below range") << QVariant(-1) << 7;
    QTest::newRow("huge text") << QVariant(QStringLiteral("99999999999999")) << 7;
    QTest::newRow("word") << QVariant(QStringLiteral("abc")) << 7;
    QTest::newRow("number then word") << QVariant(QStringLiteral("3abc")) << 7;
    QTest::newRow("empty text") << QVariant(QString()) << 7;
    QTest::newRow("invalid") << QVariant() << 7;
    QTest::newRow("nan text") << QVariant(QStringLiteral("nan")) << 7;
    QTest::newRow("inf text") << QVariant(QStringLiteral("inf")) << 7;
    QTest::newRow("list") << QVariant(QVariantList{1}) << 7;
}

void tst_UiMath::toInt()
{
    QFETCH(QVariant, value);
    QFETCH(int, expected);
    QCOMPARE(math.toInt(value, 0, 7, 7), expected);
}

void tst_UiMath::toBool_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<bool>("fallback");
    QTest::addColumn<bool>("expected");
    QTest::newRow("true") << QVariant(true) << false << true;
    QTest::newRow("false") << QVariant(false) << true << false;
    // The configuration file keeps the background entry as the text "false".
    QTest::newRow("text false") << QVariant(QStringLiteral("false")) << true << false;
    QTest::newRow("text true") << QVariant(QStringLiteral("true")) << false << true;
    QTest::newRow("text TRUE") << QVariant(QStringLiteral("TRUE")) << false << true;
    QTest::newRow("text 1") << QVariant(QStringLiteral("1")) << false << true;
    QTest::newRow("text 0") << QVariant(QStringLiteral("0")) << true << false;
    QTest::newRow("int 1") << QVariant(1) << false << true;
    QTest::newRow("int 0") << QVariant(0) << true << false;
    QTest::newRow("int 2") << QVariant(2) << false << false;
    QTest::newRow("int 2 keeps fallback") << QVariant(2) << true << true;
    QTest::newRow("text yes") << QVariant(QStringLiteral("yes")) << false << false;
    QTest::newRow("empty text") << QVariant(QString()) << true << true;
    QTest::newRow("invalid") << QVariant() << true << true;
}

void tst_UiMath::toBool()
{
    QFETCH(QVariant, value);
    QFETCH(bool, fallback);
    QFETCH(bool, expected);
    QCOMPARE(math.toBool(value, fallback), expected);
}

void tst_UiMath::toChannel_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("int") << QVariant(200) << 200;
    QTest::newRow("text") << QVariant(QStringLiteral("17")) << 17;
    QTest::newRow("above") << QVariant(300) << 255;
    QTest::newRow("below") << QVariant(-4) << 0;
    QTest::newRow("huge") << QVariant(QStringLiteral("1e300")) << 255;
    QTest::newRow("rounded") << QVariant(12.6) << 13;
    QTest::newRow("word") << QVariant(QStringLiteral("red")) << -1;
    QTest::newRow("invalid") << QVariant() << -1;
    QTest::newRow("nan") << QVariant(std::numeric_limits<double>::quiet_NaN()) << -1;
}

void tst_UiMath::toChannel()
{
    QFETCH(QVariant, value);
    QFETCH(int, expected);
    QCOMPARE(math.toChannel(value, -1), expected);
}

void tst_UiMath::parseChannel_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");
    QTest::newRow("zero") << "0" << 0;
    QTest::newRow("max") << "255" << 255;
    QTest::newRow("leading zeros") << "007" << 7;
    QTest::newRow("over max") << "256" << -1;
    QTest::newRow("999") << "999" << -1;
    QTest::newRow("four digits") << "0001" << -1;
    QTest::newRow("empty") << "" << -1;
    QTest::newRow("minus") << "-1" << -1;
    QTest::newRow("letter") << "1a" << -1;
    QTest::newRow("space") << " 12" << -1;
    QTest::newRow("plus") << "+12" << -1;
    QTest::newRow("other script digit") << QString(QChar(0x0663)) << -1;
}

void tst_UiMath::parseChannel()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    QCOMPARE(math.parseChannel(text), expected);
}

void tst_UiMath::keyCodeFromBytes_data()
{
    QTest::addColumn<QVariant>("pair");
    QTest::addColumn<int>("code");
    QTest::newRow("media key") << QVariant(QVariantList{0xB5, 0x30}) << 0x30B5;
    QTest::newRow("standard key") << QVariant(QVariantList{41, 0}) << 41;
    QTest::newRow("stored as text") << QVariant(QVariantList{"3", "65"}) << 0x4103;
    QTest::newRow("bytes wider than a byte are cut") << QVariant(QVariantList{0x1FF, 0x140}) << 0x40FF;
    QTest::newRow("absent entry") << QVariant(QVariantList{}) << 0;
    QTest::newRow("no list at all") << QVariant() << 0;
    QTest::newRow("one byte only") << QVariant(QVariantList{5}) << 0;
    QTest::newRow("unreadable byte") << QVariant(QVariantList{"x", 1}) << 0;
}

void tst_UiMath::keyCodeFromBytes()
{
    QFETCH(QVariant, pair);
    QFETCH(int, code);
    QCOMPARE(UiMath().keyCodeFromBytes(pair), code);
}

void tst_UiMath::keyCodeKind_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("standard");
    QTest::newRow("nothing") << 0 << 0 << true;
    QTest::newRow("Esc") << 41 << 0 << true;
    QTest::newRow("standard with bits 11..8") << 0x0129 << 0 << false;
    QTest::newRow("mute") << 0x30E2 << 1 << false;
    QTest::newRow("macro") << 0x4105 << 2 << false;
    QTest::newRow("kind 1") << 0x1004 << -1 << false;
    QTest::newRow("kind 15") << 0xF000 << -1 << false;
    QTest::newRow("above 16 bits") << 0x14000 << -1 << false;
    QTest::newRow("negative") << -1 << -1 << false;
}

void tst_UiMath::keyCodeKind()
{
    QFETCH(int, code);
    QFETCH(int, kind);
    QFETCH(bool, standard);
    QCOMPARE(UiMath().keyCodeKind(code), kind);
    QCOMPARE(UiMath().isStandardKeyCode(code), standard);
}

void tst_UiMath::macroKeyCode_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("repeat");
    QTest::addColumn<int>("code");
    QTest::newRow("index 3, repeat 1") << 3 << 1 << 0x4103;
    QTest::newRow("first place, repeat 0") << 0 << 0 << 0x4000;
    QTest::newRow("last place") << 16 << 2 << 0x4210;
    QTest::newRow("repeat wider than four bits") << 1 << 0x13 << 0x4301;
    QTest::newRow("index wider than a byte") << 0x1FF << 1 << 0x41FF;
}

void tst_UiMath::macroKeyCode()
{
    QFETCH(int, index);
    QFETCH(int, repeat);
    QFETCH(int, code);
    const int made = UiMath().macroKeyCode(index, repeat);
    QCOMPARE(made, code);
    QCOMPARE(UiMath().keyCodeKind(made), 2);
}

void tst_UiMath::keyMatrixBytes_data()
{
    QTest::addColumn<QVariantList>("codes");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("low");
    QTest::addColumn<int>("high");
    QVariantList full;
    for (int i = 0; i < 128; ++i)
        full << (i == 5 ? 0x4103 : i);
    QTest::newRow("128 positions") << full << 5 << 0x03 << 0x41;
    QTest::newRow("last of 128") << full << 127 << 127 << 0;
    QVariantList shorter{0x30B5, 4};
    QTest::newRow("short list: given codes") << shorter << 0 << 0xB5 << 0x30;
    QTest::newRow("short list: rest is 0") << shorter << 100 << 0 << 0;
    QVariantList longer = full;
    longer << 0x30E2 << 0x30E2;
    QTest::newRow("long list: extra dropped") << longer << 127 << 127 << 0;
    QTest::newRow("empty") << QVariantList{} << 0 << 0 << 0;
    QTest::newRow("damaged code sent as 0") << QVariantList{"x", 0x12345, -3} << 1 << 0 << 0;
}

void tst_UiMath::keyMatrixBytes()
{
    QFETCH(QVariantList, codes);
    QFETCH(int, position);
    QFETCH(int, low);
    QFETCH(int, high);
    const QVariantList bytes = UiMath().keyMatrixBytes(codes);
    QCOMPARE(bytes.size(), 256);
    QCOMPARE(bytes.at(2 * position).toInt(), low);
    QCOMPARE(bytes.at(2 * position + 1).toInt(), high);
}

QTEST_APPLESS_MAIN(tst_UiMath)

#include "tst_uimath.moc"
