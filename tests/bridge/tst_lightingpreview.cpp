// The lighting preview's effects on a small keyboard of three rows of four
// 20x20 keys (matrix numbers 0..3, 16..19, 32..35): opacity, colour and the
// counters after n ticks, at several speeds and brightnesses.
#include "lightingpreview.h"

#include <QPainter>
#include <QtTest>

namespace {

QVariantList grid()
{
    QVariantList keys;
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 4; ++c)
            keys << QVariant(QVariantList{16 * r + c, 20 * c, 20 * r, 20, 20});
    }
    return keys;
}

QColor rgba(int r, int g, int b, int a)
{
    return QColor(r, g, b, a);
}

} // namespace

class tst_LightingPreview : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void intervals_data();
    void intervals();
    void opacities_data();
    void opacities();
    void breathing_data();
    void breathing();
    void wave_data();
    void wave();
    void pressEffects();
    void ripple();
    void raining();
    void marquee_data();
    void marquee();
    void gradients_data();
    void gradients();
    void neon_data();
    void neon();
    void marqueeColorful();
    void spotlight();
    void pictures();
    void staticAndUnknown_data();
    void staticAndUnknown();
    void timerRunsOnlyWhileStarted();
    void keysLeftOfTheDrawingArePainted();
    void badInput();

private:
    QScopedPointer<LightingPreview> p;
};

void tst_LightingPreview::init()
{
    p.reset(new LightingPreview);
    p->setKeys(grid());
}

void tst_LightingPreview::intervals_data()
{
    QTest::addColumn<int>("effect");
    QTest::addColumn<int>("speed");
    QTest::addColumn<int>("interval");
    QTest::newRow("static slowest") << 0x00 << 7 << 2400;
    QTest::newRow("static fastest") << 0x00 << 1 << 600;
    QTest::newRow("breathing speed 0 runs as 1") << 0x01 << 0 << 16;
    QTest::newRow("darken 4") << 0x03 << 4 << 132;
    QTest::newRow("ripple 7") << 0x05 << 7 << 55;
    QTest::newRow("brighten 1") << 0x06 << 1 << 7;
    QTest::newRow("circle 7") << 0x0A << 7 << 70;
    QTest::newRow("spotlight 3") << 0x0B << 3 << 20;
    QTest::newRow("speed above 7 runs as 7") << 0x08 << 9 << 90;
    QTest::newRow("0x0C does not animate") << 0x0C << 1 << 0;
    QTest::newRow("picture does not animate") << 0x33 << 1 << 0;
    QTest::newRow("no effect") << -1 << 1 << 0;
}

void tst_LightingPreview::intervals()
{
    QFETCH(int, effect);
    QFETCH(int, speed);
    QFETCH(int, interval);
    QCOMPARE(LightingPreview::intervalFor(effect, speed), interval);
}

void tst_LightingPreview::opacities_data()
{
    QTest::addColumn<int>("effect");
    QTest::addColumn<int>("brightness");
    QTest::addColumn<int>("full");
    QTest::addColumn<int>("fade");
    QTest::newRow("wave 7") << 0x02 << 7 << 255 << 13;
    QTest::newRow("wave 0") << 0x02 << 0 << 0 << 0;
    QTest::newRow("darken 7") << 0x03 << 7 << 255 << 9;
    QTest::newRow("darken 1") << 0x03 << 1 << 75 << 3;
    QTest::newRow("colorful 3") << 0x08 << 3 << 135 << 2;
    QTest::newRow("raining 7") << 0x09 << 7 << 255 << 26;
    QTest::newRow("spotlight 5") << 0x0B << 5 << 195 << 28;
    QTest::newRow("breathing does not fade") << 0x01 << 7 << 255 << 0;
}

void tst_LightingPreview::opacities()
{
    QFETCH(int, effect);
    QFETCH(int, brightness);
    QFETCH(int, full);
    QFETCH(int, fade);
    QCOMPARE(LightingPreview::fullOpacity(brightness), full);
    QCOMPARE(LightingPreview::fadeStep(effect, brightness), fade);
}

void tst_LightingPreview::breathing_data()
{
    QTest::addColumn<int>("brightness");
    QTest::addColumn<int>("choice");
    QTest::addColumn<int>("ticks");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<int>("loopIndex");
    QTest::newRow("rising") << 7 << 2 << 10 << rgba(255, 255, 0, 50) << 0;
    QTest::newRow("top of the rise") << 7 << 2 << 50 << rgba(255, 255, 0, 250) << 0;
    QTest::newRow("falling") << 7 << 2 << 51 << rgba(255, 255, 0, 255) << 0;
    QTest::newRow("last tick") << 7 << 2 << 101 << rgba(255, 255, 0, 5) << 0;
    QTest::newRow("wrapped") << 7 << 2 << 102 << rgba(255, 255, 0, 0) << 0;
    QTest::newRow("dim") << 3 << 0 << 20 << rgba(255, 0, 0, 43) << 0;
    QTest::newRow("dark") << 0 << 0 << 40 << rgba(255, 0, 0, 0) << 0;
    QTest::newRow("loop, first round") << 7 << 7 << 30 << rgba(255, 0, 0, 150) << 0;
    QTest::newRow("loop, second round") << 7 << 7 << 112 << rgba(0, 255, 0, 50) << 1;
    QTest::newRow("loop, wraps after seven") << 7 << 7 << 7 * 102 + 1 << rgba(255, 0, 0, 5) << 0;
}

void tst_LightingPreview::breathing()
{
    QFETCH(int, brightness);
    QFETCH(int, choice);
    QFETCH(int, ticks);
    QFETCH(QColor, colour);
    QFETCH(int, loopIndex);
    p->setEffect(0x01);
    p->setBrightness(brightness);
    p->setColorChoice(choice);
    p->advance(ticks);
    for (int m : {0, 19, 35})
        QCOMPARE(p->keyColor(m), colour);
    QCOMPARE(p->count(), ticks % 102);
    QCOMPARE(p->loopIndex(), loopIndex);
}

void tst_LightingPreview::wave_data()
{
    QTest::addColumn<int>("brightness");
    QTest::addColumn<int>("ticks");
    QTest::addColumn<QVariantList>("opacities"); // of the snake path 0,1,2,3,19,18
    QTest::addColumn<int>("cursor");
    QTest::newRow("first key") << 7 << 1 << QVariantList{255, 0, 0, 0, 0, 0} << 1;
    QTest::newRow("trail") << 7 << 3 << QVariantList{229, 242, 255, 0, 0, 0} << 3;
    QTest::newRow("turns at the row's end") << 7 << 6 << QVariantList{190, 203, 216, 229, 242, 255} << 6;
    QTest::newRow("faded out, round again") << 7 << 13 << QVariantList{255, 112, 125, 138, 151, 164} << 1;
    QTest::newRow("dim") << 2 << 2 << QVariantList{100, 105, 0, 0, 0, 0} << 2;
}

void tst_LightingPreview::wave()
{
    QFETCH(int, brightness);
    QFETCH(int, ticks);
    QFETCH(QVariantList, opacities);
    QFETCH(int, cursor);
    p->setEffect(0x02);
    p->setBrightness(brightness);
    p->advance(ticks);
    const int path[] = {0, 1, 2, 3, 19, 18, 17, 16, 32, 33, 34, 35};
    for (int i = 0; i < 6; ++i)
        QCOMPARE(p->keyOpacity(path[i]), opacities.at(i).toInt());
    QCOMPARE(p->cursor(), cursor);

    // LOOP gives each newly lit key the next table colour.
    p->setColorChoice(7);
    p->advance(3);
    QCOMPARE(p->keyColor(path[cursor % 12]).rgb(), QColor(255, 0, 0).rgb());
    QCOMPARE(p->keyColor(path[(cursor + 1) % 12]).rgb(), QColor(0, 255, 0).rgb());
    QCOMPARE(p->loopIndex(), 3);
}

void tst_LightingPreview::pressEffects()
{
    p->setEffect(0x03);
    p->setColorChoice(3);
    p->press(17);
    QCOMPARE(p->keyColor(17), rgba(0, 0, 255, 255));
    p->advance(1);
    QCOMPARE(p->keyOpacity(17), 246);
    p->advance(27);
    QCOMPARE(p->keyOpacity(17), 3);
    p->advance(1);
    QCOMPARE(p->keyOpacity(17), 0);
    // Keys with no place on the drawing, and effects that do not react.
    p->press(5);
    p->press(-1);
    p->press(300);
    p->setEffect(0x01);
    p->advance(10);
    p->press(18);
    QCOMPARE(p->keyOpacity(18), p->keyOpacity(0));
    p->setEffect(0x07);
    p->press(18);
    QCOMPARE(p->keyColor(18), p->keyColor(0));
}

void tst_LightingPreview::ripple()
{
    p->setEffect(0x05);
    p->press(1);
    QCOMPARE(p->keyOpacity(1), 255);
    QCOMPARE(p->keyOpacity(0), 0);
    p->advance(1);
    QCOMPARE(p->keyOpacity(0), 255);
    QCOMPARE(p->keyOpacity(2), 255);
    QCOMPARE(p->keyOpacity(1), 229);
    QCOMPARE(p->keyOpacity(3), 0);
    p->advance(1);
    QCOMPARE(p->keyOpacity(3), 255);
    QCOMPARE(p->keyOpacity(0), 229);
    // Along its own row only.
    for (int m : {16, 17, 18, 19, 32})
        QCOMPARE(p->keyOpacity(m), 0);
    p->advance(20);
    for (int m = 0; m < 4; ++m)
        QCOMPARE(p->keyOpacity(m), 0);
}

void tst_LightingPreview::raining()
{
    p->setEffect(0x09);
    p->setColorChoice(7);
    p->press(17); // centre (30, 30)
    QCOMPARE(p->ringCount(), 1);
    QCOMPARE(p->keyColor(17), rgba(255, 0, 0, 255));
    p->advance(1); // radius 15: nothing new
    QCOMPARE(p->keyOpacity(17), 229);
    QCOMPARE(p->keyOpacity(16), 0);
    p->advance(1); // radius 30: the neighbours at 20 and the diagonals at 28.3
    for (int m : {1, 16, 18, 33, 0, 2, 32, 34})
        QCOMPARE(p->keyColor(m), rgba(255, 0, 0, 255));
    QCOMPARE(p->keyOpacity(19), 0); // 44.7 away: not yet
    p->advance(2);                  // radius 60: key 19 was lit on the way
    QVERIFY(p->keyOpacity(19) > 0);
    // At most three rings at once.
    p->press(0);
    p->press(3);
    const int before = p->keyOpacity(35);
    p->press(35);
    QCOMPARE(p->ringCount(), 3);
    QCOMPARE(p->keyOpacity(35), before);
    // Rings leave once past the keyboard's diagonal (100).
    p->advance(10);
    QCOMPARE(p->ringCount(), 0);
}

void tst_LightingPreview::marquee_data()
{
    QTest::addColumn<int>("brightness");
    QTest::addColumn<int>("ticks");
    QTest::addColumn<int>("matrix");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("first key, start") << 7 << 0 << 0 << rgba(255, 0, 0, 255);
    QTest::newRow("second key is ahead") << 7 << 0 << 1 << rgba(223, 32, 0, 255);
    QTest::newRow("half way") << 7 << 16 << 0 << rgba(128, 128, 0, 255);
    QTest::newRow("dim") << 1 << 32 << 0 << rgba(0, 255, 0, 75);
    QTest::newRow("round the table") << 7 << 7 * 32 << 0 << rgba(255, 0, 0, 255);
}

void tst_LightingPreview::marquee()
{
    QFETCH(int, brightness);
    QFETCH(int, ticks);
    QFETCH(int, matrix);
    QFETCH(QColor, colour);
    p->setEffect(0x04);
    p->setBrightness(brightness);
    p->setColorChoice(4); // has no say in this effect
    p->start();
    p->stop();
    p->advance(ticks);
    QCOMPARE(p->keyColor(matrix), colour);
}

void tst_LightingPreview::gradients_data()
{
    QTest::addColumn<int>("effect");
    QTest::addColumn<int>("direction");
    QTest::addColumn<int>("ticks");
    QTest::addColumn<QColor>("colour");
    // Key 0's centre lies at 1/8 of the width: 96 on the circle of 768.
    QTest::newRow("sideways, start") << 0x06 << 1 << 0 << rgba(159, 0, 96, 255);
    QTest::newRow("sideways, right") << 0x06 << 1 << 1 << rgba(143, 0, 112, 255);
    QTest::newRow("sideways, left") << 0x06 << 2 << 1 << rgba(175, 0, 80, 255);
    QTest::newRow("sideways, into blue-green") << 0x06 << 1 << 12 << rgba(0, 32, 223, 255);
    // From the centre (40, 30): key 0 lies 36.06 away of a reach of 50, 554.
    QTest::newRow("circle, start") << 0x0A << 1 << 0 << rgba(42, 213, 0, 255);
    QTest::newRow("circle, left") << 0x0A << 2 << 2 << rgba(10, 245, 0, 255);
}

void tst_LightingPreview::gradients()
{
    QFETCH(int, effect);
    QFETCH(int, direction);
    QFETCH(int, ticks);
    QFETCH(QColor, colour);
    p->setEffect(effect);
    p->setDirection(direction);
    p->start();
    p->stop();
    p->advance(ticks);
    QCOMPARE(p->keyColor(0), colour);
}

void tst_LightingPreview::neon_data()
{
    QTest::addColumn<int>("ticks");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("red") << 0 << rgba(255, 0, 0, 255);
    QTest::newRow("red to blue") << 42 << rgba(129, 0, 126, 255);
    QTest::newRow("blue") << 85 << rgba(0, 0, 255, 255);
    QTest::newRow("green") << 170 << rgba(0, 255, 0, 255);
    QTest::newRow("green to red") << 254 << rgba(252, 3, 0, 255);
    QTest::newRow("wrapped") << 255 << rgba(255, 0, 0, 255);
}

void tst_LightingPreview::neon()
{
    QFETCH(int, ticks);
    QFETCH(QColor, colour);
    p->setEffect(0x07);
    p->start();
    p->stop();
    p->advance(ticks);
    QCOMPARE(p->keyColor(0), colour);
    QCOMPARE(p->keyColor(35), colour);
    QCOMPARE(p->count(), ticks % 255);
}

void tst_LightingPreview::marqueeColorful()
{
    p->setEffect(0x08);
    p->setBrightness(7);
    p->advance(1);
    const int first = p->cursor();
    QCOMPARE(p->keyOpacity(first), 255);
    int lit = 0;
    for (int m = 0; m < 128; ++m)
        lit += p->keyOpacity(m) > 0;
    QCOMPARE(lit, 1);
    p->advance(1);
    if (p->cursor() != first)
        QCOMPARE(p->keyOpacity(first), 251);
    // The same keys in the same order after a restart.
    LightingPreview other;
    other.setKeys(grid());
    other.setEffect(0x08);
    other.advance(1);
    QCOMPARE(other.cursor(), first);
}

void tst_LightingPreview::spotlight()
{
    p->setEffect(0x0B);
    p->setColorChoice(3); // not this effect's choice
    p->advance(1);
    QCOMPARE(p->keyColor(0), rgba(255, 0, 0, 255));
    QCOMPARE(p->keyColor(35), rgba(255, 0, 0, 255));
    p->advance(3);
    QCOMPARE(p->keyOpacity(3), 255);
    QCOMPARE(p->keyOpacity(32), 255);
    QCOMPARE(p->keyOpacity(0), 255 - 3 * 36);
    p->advance(1); // the ring from the centre (40, 30): radius 15
    QCOMPARE(p->keyOpacity(17), 255);
    QCOMPARE(p->keyOpacity(18), 255);
    p->advance(4); // radius 60 is past half the diagonal: next round
    QCOMPARE(p->loopIndex(), 1);
    QCOMPARE(p->cursor(), 0);
    p->advance(1);
    QCOMPARE(p->keyColor(0), rgba(0, 255, 0, 255));
}

void tst_LightingPreview::pictures()
{
    QVariantList picture;
    for (int i = 0; i < 384; ++i)
        picture << 0;
    picture[3 * 17] = 10;
    picture[3 * 17 + 1] = 20;
    picture[3 * 17 + 2] = 30;
    p->setPicture(picture);
    p->setEffect(0x34);
    p->setBrightness(3);
    p->start();
    QVERIFY(!p->isRunning());
    QCOMPARE(p->keyColor(17), rgba(10, 20, 30, 135));
    QCOMPARE(p->keyOpacity(16), 0);
    // Painting while shown: the preview follows at once.
    picture[0] = 255;
    p->setPicture(picture);
    QCOMPARE(p->keyColor(0), rgba(255, 0, 0, 135));
    p->advance(100);
    QCOMPARE(p->keyColor(17), rgba(10, 20, 30, 135));
    p->stop();
}

void tst_LightingPreview::staticAndUnknown_data()
{
    QTest::addColumn<int>("effect");
    QTest::addColumn<bool>("timer");
    QTest::newRow("static") << 0x00 << true;
    QTest::newRow("0x0C") << 0x0C << false;
    QTest::newRow("no entry") << -1 << false;
    QTest::newRow("0xFF") << 0xFF << false;
}

void tst_LightingPreview::staticAndUnknown()
{
    QFETCH(int, effect);
    QFETCH(bool, timer);
    p->setEffect(effect);
    p->setColorChoice(5);
    p->setBrightness(6);
    p->start();
    QCOMPARE(p->isRunning(), timer);
    for (int m : {0, 17, 35})
        QCOMPARE(p->keyColor(m), rgba(255, 0, 255, 225));
    p->advance(5);
    QCOMPARE(p->keyColor(17), rgba(255, 0, 255, 225));
    // LOOP shows the built-in picture: the colour circle across the keys.
    p->setColorChoice(7);
    QVERIFY(p->keyColor(0) != p->keyColor(3));
    QCOMPARE(p->keyColor(0), p->keyColor(32));
    p->stop();
    QVERIFY(!p->isRunning());
}

// The profile keys stand at x = -20: with the origin there the whole key is
// painted inside the item, not cut off at its left edge.
void tst_LightingPreview::keysLeftOfTheDrawingArePainted()
{
    p->setKeys(QVariantList{QVariantList{116, -20, 1, 25, 25, 0}, QVariantList{0, 56, 42, 25, 25, 1}});
    QCOMPARE(p->keyBounds(), QRectF(-20, 1, 101, 66));
    p->setOrigin(QPointF(-20, 0));
    p->setEffect(0x00);
    p->setColorChoice(0);
    p->setBrightness(7);
    p->start();

    QImage image(110, 80, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    p->paint(&painter);
    painter.end();
    // Both ends of the profile key, and the other key 20 units further right.
    QCOMPARE(qAlpha(image.pixel(2, 13)), 255);
    QCOMPARE(qAlpha(image.pixel(23, 13)), 255);
    QCOMPARE(qRed(image.pixel(12, 13)), 255);
    QCOMPARE(qRed(image.pixel(88, 54)), 255);
    QCOMPARE(qAlpha(image.pixel(60, 5)), 0);
}

void tst_LightingPreview::timerRunsOnlyWhileStarted()
{
    QSignalSpy running(p.data(), &LightingPreview::runningChanged);
    p->setEffect(0x06);
    p->setSpeed(1);
    QVERIFY(!p->isRunning());
    p->start();
    QVERIFY(p->isRunning());
    QTRY_VERIFY(p->count() >= 10);
    // A new setting restarts the preview from its first tick.
    p->setSpeed(7);
    QVERIFY(p->count() < 10);
    QCOMPARE(p->tickInterval(), 70);
    p->stop();
    QVERIFY(!p->isRunning());
    const int stopped = p->count();
    QTest::qWait(150);
    QCOMPARE(p->count(), stopped);
    // Settings changed while stopped do not start it.
    p->setEffect(0x01);
    QVERIFY(!p->isRunning());
    QCOMPARE(running.count(), 2);
}

void tst_LightingPreview::badInput()
{
    LightingPreview q;
    // Keys outside the matrix, doubled, short or not numbers are skipped.
    q.setKeys({QVariant(QVariantList{200, 0, 0, 20, 20}), QVariant(QVariantList{1, 0, 0, 20, 20}),
               QVariant(QVariantList{1, 40, 0, 20, 20}), QVariant(QVariantList{2, 0}), QVariant(QString("x")),
               QVariant(QVariantList{3, 0, 0, -5, 20})});
    q.start();
    QCOMPARE(q.keyColor(1).alpha(), 255);
    QCOMPARE(q.keyColor(2).alpha(), 0);
    QCOMPARE(q.keyColor(3).alpha(), 0);
    QCOMPARE(q.keyColor(200).alpha(), 0);
    // Every effect runs on one key and on none.
    for (int keys = 0; keys < 2; ++keys) {
        if (keys == 1)
            q.setKeys({});
        for (int e : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 0x33, 0x37, -1}) {
            q.setEffect(e);
            q.press(1);
            q.advance(300);
        }
    }
    // Short or damaged tables: the defaults fill what is missing.
    q.setColorTable({QString("x"), 300, -4});
    const QVariantList table = q.colorTable();
    QCOMPARE(table.size(), 21);
    QCOMPARE(table.at(0).toInt(), 0);
    QCOMPARE(table.at(1).toInt(), 255);
    QCOMPARE(table.at(2).toInt(), 0);
    QCOMPARE(table.at(3).toInt(), 0);
    QCOMPARE(table.at(4).toInt(), 255);
    q.setPicture({1, 2});
    QCOMPARE(q.picture().size(), 384);
    q.stop();
}

QTEST_MAIN(tst_LightingPreview)
#include "tst_lightingpreview.moc"
