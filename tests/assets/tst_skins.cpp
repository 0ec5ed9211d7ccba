// The painted skins in the build tree's program folder, checked against what
// the window needs: every image the documents and the key tables name, in
// both skins, at sizes that fit where the layout puts them, with every
// control state and the two looks told apart.
#include "definitions.h"
#include "skinimages.h"

#include <QtTest>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QRegularExpression>

#include <cmath>

namespace {

const QString kImageDir = QStringLiteral(GEARPANEL_BIN_DIR "/modules/img");
const QString kSettingDir = QStringLiteral(GEARPANEL_SOURCE_DIR "/modules/setting");
const QStringList kSkins = {QStringLiteral("skin1"), QStringLiteral("skin2")};

// Where the key page puts its keyboard drawing inside the 792 by 442 page.
constexpr int kModelX = 43;
constexpr int kModelY = 97;
constexpr int kPageWidth = 792;
constexpr int kPageHeight = 442;

QImage skinImage(const QString &skin, const QString &name)
{
    return QImage(kImageDir + QLatin1Char('/') + skin + QLatin1Char('/') + name);
}

// The images the root document binds: every skinImage("folder", "file").
QStringList documentImages()
{
    QFile qml(QStringLiteral(GEARPANEL_SOURCE_DIR "/modules/qml/main.qml"));
    if (!qml.open(QIODevice::ReadOnly))
        return {};
    const QString text = QString::fromUtf8(qml.readAll());
    static const QRegularExpression call(
        QStringLiteral(R"re(skinImage\(\s*"([^"]*)"\s*,\s*"([^"]+)"\s*\))re"));
    QStringList names;
    for (auto it = call.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        names.append(m.captured(1).isEmpty() ? m.captured(2)
                                             : m.captured(1) + QLatin1Char('/') + m.captured(2));
    }
    return names;
}

struct KeyPlace {
    QString label;
    int type;
    QRect rect;
    QImage face;
};

// The keys of one table section as the key page places them: row items 0
// and 1 are the position inside the drawing, 2 the key type.
QVector<KeyPlace> placeKeys(const QString &file, const QString &section, const QString &skin)
{
    const QVariantList table = definitions::loadHardwareTable(kSettingDir + QLatin1Char('/') + file, section);
    QVector<KeyPlace> keys;
    const int rows = table.value(0).toInt();
    for (int i = 0; i < rows; ++i) {
        const int base = 2 + 6 * i;
        const int type = table.value(base + 2).toInt();
        if (type == 0)
            continue;
        const QImage face = skinImage(skin, QStringLiteral("model_kb/k%1-0.png").arg(type));
        keys.append({table.value(base + 3).toString(), type,
                     QRect(QPoint(table.value(base).toInt(), table.value(base + 1).toInt()), face.size()),
                     face});
    }
    return keys;
}

bool opaqueAt(const KeyPlace &key, const QPoint &p)
{
    return qAlpha(key.face.pixel(p - key.rect.topLeft())) > 0;
}

// Mean of the largest channel difference per pixel, alpha included, over
// the pixels that either image paints: a thin frame on a transparent canvas
// counts as much as a filled button.
double meanDifference(const QImage &a, const QImage &b)
{
    const QImage x = a.convertToFormat(QImage::Format_ARGB32);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32);
    double sum = 0;
    int painted = 0;
    for (int row = 0; row < x.height(); ++row) {
        const QRgb *p = reinterpret_cast<const QRgb *>(x.constScanLine(row));
        const QRgb *q = reinterpret_cast<const QRgb *>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col) {
            if (qAlpha(p[col]) == 0 && qAlpha(q[col]) == 0)
                continue;
            ++painted;
            sum += std::max({std::abs(qRed(p[col]) - qRed(q[col])), std::abs(qGreen(p[col]) - qGreen(q[col])),
                             std::abs(qBlue(p[col]) - qBlue(q[col])),
                             std::abs(qAlpha(p[col]) - qAlpha(q[col]))});
        }
    }
    return painted == 0 ? 0.0 : sum / painted;
}

} // namespace

class TestSkins : public QObject
{
    Q_OBJECT

private slots:
    void documentImagesExist();
    void paintedImagesMatchTheirTable();
    void fitTheLayout_data();
    void fitTheLayout();
    void colourStripMatchesThePicker();
    void keyImagesFitTheKeyTables_data();
    void keyImagesFitTheKeyTables();
    void controlStatesDiffer();
    void skinsDiffer();
    void trayIconHoldsSeveralSizes();
    void onlyTheTwoSkinsAreInstalled();
};

void TestSkins::documentImagesExist()
{
    const QStringList names = documentImages();
    // The root document binds 73 skin images; fewer means the reading
    // above no longer finds them, not that they are fine.
    QVERIFY2(names.size() >= 73, qPrintable(QString::number(names.size())));
    for (const QString &skin : kSkins) {
        for (const QString &name : names)
            QVERIFY2(!skinImage(skin, name).isNull(), qPrintable(skin + QLatin1Char('/') + name));
    }
}

void TestSkins::paintedImagesMatchTheirTable()
{
    // The painter's own table, key types included, against what is on disk.
    QVector<KeyTable> tables;
    for (const QString &file : {QStringLiteral("HWDef0.bin"), QStringLiteral("HWDef1.bin")})
        tables += readKeyTables(kSettingDir + QLatin1Char('/') + file);
    const QVector<SkinImage> images = skinImages(keyImages(tables));
    const QStringList fromDocument = documentImages();
    for (const QString &name : fromDocument) {
        const bool painted = std::any_of(images.cbegin(), images.cend(),
                                         [&name](const SkinImage &image) { return image.path == name; });
        QVERIFY2(painted, qPrintable(name));
    }
    for (const QString &skin : kSkins) {
        for (const SkinImage &image : images) {
            const QImage onDisk = skinImage(skin, image.path);
            QVERIFY2(!onDisk.isNull(), qPrintable(skin + QLatin1Char('/') + image.path));
            QCOMPARE(onDisk.size(), image.size);
        }
    }
}

void TestSkins::fitTheLayout_data()
{
    // An image, the largest size it may have where the window puts it, and
    // the size it must have exactly where the layout counts on it (an empty
    // size when any size up to the largest serves).
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("largest");
    QTest::addColumn<QSize>("exact");

    QTest::newRow("window background") << "background.png" << QSize(1000, 600) << QSize(1000, 600);
    // Shown at (152, 121), between the function menu, the profile menu at
    // x 935 and the bottom menu at y 551.
    QTest::newRow("keyboard picture") << "keyboard.png" << QSize(935 - 152, 551 - 121) << QSize();
    QTest::newRow("top menu") << "list_up/listUpContainer.png" << QSize(1000, 32) << QSize(1000, 32);
    // Title buttons at x 876, 913 and 949: 36 pixels apart at the closest.
    for (const char *name : {"applicationSetting", "applicationMinimize", "applicationClose"}) {
        for (int state = 0; state < 2; ++state)
            QTest::addRow("%s_%d", name, state)
                << QStringLiteral("list_up/%1_%2.png").arg(QLatin1String(name)).arg(state) << QSize(36, 32)
                << QSize();
    }
    QTest::newRow("bottom menu") << "list_dn/listDnContainer.png" << QSize(1000, 49) << QSize(1000, 49);
    // The two bottom buttons start at x 337 and 504.
    QTest::newRow("bottom button") << "list_dn/listDownButtonBg.png" << QSize(504 - 337, 49) << QSize();
    for (int state = 0; state < 2; ++state) {
        QTest::addRow("profile entry %d", state)
            << QStringLiteral("list_pf/profileFW_%1.png").arg(state) << QSize(50, 30) << QSize(50, 30);
        QTest::addRow("function entry %d", state)
            << QStringLiteral("list_fn/listFnBtn_%1.png").arg(state) << QSize(97, 29) << QSize(97, 29);
    }
    QTest::newRow("settings panel") << "list_center/globalsettingBackground.png" << QSize(319, 411)
                                    << QSize();
    QTest::newRow("key page") << "list_center/fnKeydefineBackground.png" << QSize(792, 442) << QSize();
    QTest::newRow("lighting page") << "list_center/fnColorBackground.png" << QSize(792, 442) << QSize();
    QTest::newRow("common page") << "list_center/fnCommonBackground.png" << QSize(792, 442) << QSize();
    // The macro page is shown 46 pixels down the page area.
    QTest::newRow("macro page") << "list_center/fnMacroBackground.png" << QSize(792, 442 - 46) << QSize();
    // Shown at (20, 36), left of the page area.
    QTest::newRow("web link") << "frame/web_0.png" << QSize(127 - 20, 60) << QSize();
    // The macro page's add buttons are 21 by 21, its edit buttons a column
    // of 21-pixel buttons 22 apart, its record and stop buttons sit on a
    // 21-pixel band.
    QTest::newRow("add") << "common/add_0.png" << QSize(21, 21) << QSize(21, 21);
    for (const char *name : {"solid-delete", "solid-cut", "solid-paste", "solid-copy"})
        QTest::addRow("%s", name) << QStringLiteral("common/%1_0.png").arg(QLatin1String(name))
                                  << QSize(21, 22) << QSize(21, 21);
    QTest::newRow("record") << "common/record_0.png" << QSize(21, 21) << QSize();
    QTest::newRow("stop") << "common/stop_0.png" << QSize(21, 21) << QSize();
    QTest::newRow("file list") << "common/filelist_BASE.png" << QSize(141, 198) << QSize();
    // The colour strip is 96 pixels long; the picker's arithmetic counts
    // on that.
    QTest::newRow("colour strip") << "common/draw_palette.png" << QSize(96, 40) << QSize();
}

void TestSkins::fitTheLayout()
{
    QFETCH(QString, name);
    QFETCH(QSize, largest);
    QFETCH(QSize, exact);
    for (const QString &skin : kSkins) {
        const QImage image = skinImage(skin, name);
        QVERIFY2(!image.isNull(), qPrintable(skin + QLatin1Char('/') + name));
        QVERIFY2(image.width() <= largest.width() && image.height() <= largest.height(),
                 qPrintable(QStringLiteral("%1: %2x%3").arg(name).arg(image.width()).arg(image.height())));
        if (exact.isValid())
            QCOMPARE(image.size(), exact);
    }
    if (name == QLatin1String("common/draw_palette.png"))
        QCOMPARE(skinImage(kSkins[0], name).width(), 96);
}

void TestSkins::colourStripMatchesThePicker()
{
    // A press at position p of the strip picks rate = p / (length - 1) /
    // 0.125, section = floor(rate), t = round((rate - section) * 255); the
    // strip must show there the colour that is picked.
    struct Pick {
        int position;
        QRgb colour;
    };
    const Pick picks[] = {{0, qRgb(0, 0, 0)},       {12, qRgb(255, 3, 0)},     {24, qRgb(250, 255, 0)},
                          {36, qRgb(0, 255, 8)},    {48, qRgb(0, 244, 255)},   {60, qRgb(13, 0, 255)},
                          {72, qRgb(255, 16, 255)}, {84, qRgb(236, 236, 236)}, {95, qRgb(0, 0, 0)}};
    for (const QString &skin : kSkins) {
        const QImage strip = skinImage(skin, QStringLiteral("common/draw_palette.png"));
        QVERIFY(!strip.isNull());
        for (const Pick &pick : picks) {
            const QRgb shown = strip.pixel(pick.position, strip.height() / 2);
            QVERIFY2(
                qAbs(qRed(shown) - qRed(pick.colour)) <= 1 &&
                    qAbs(qGreen(shown) - qGreen(pick.colour)) <= 1 &&
                    qAbs(qBlue(shown) - qBlue(pick.colour)) <= 1,
                qPrintable(QStringLiteral("%1 at %2: %3").arg(skin).arg(pick.position).arg(shown, 8, 16)));
        }
    }
}

void TestSkins::keyImagesFitTheKeyTables_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("skin");
    for (const QString &file : {QStringLiteral("HWDef0.bin"), QStringLiteral("HWDef1.bin")}) {
        for (const QString &section : {QStringLiteral("0"), QStringLiteral("1")}) {
            for (const QString &skin : kSkins)
                QTest::addRow("%s [%s] %s", qPrintable(file), qPrintable(section), qPrintable(skin))
                    << file << section << skin;
        }
    }
}

void TestSkins::keyImagesFitTheKeyTables()
{
    QFETCH(QString, file);
    QFETCH(QString, section);
    QFETCH(QString, skin);
    const QVector<KeyPlace> keys = placeKeys(file, section, skin);
    QVERIFY2(keys.size() >= 100, qPrintable(QString::number(keys.size())));
    for (const KeyPlace &key : keys) {
        QVERIFY2(!key.face.isNull(),
                 qPrintable(QStringLiteral("k%1-0.png (%2)").arg(key.type).arg(key.label)));
        const QImage frame = skinImage(skin, QStringLiteral("model_kb/k%1-1.png").arg(key.type));
        QCOMPARE(frame.size(), key.face.size());
        // The drawing stays inside the page.
        QVERIFY2(kModelX + key.rect.right() < kPageWidth && kModelY + key.rect.bottom() < kPageHeight,
                 qPrintable(key.label));
    }
    // No two keys cover the same pixel: a key image that is too large for
    // its type would run into its neighbour.
    for (int i = 0; i < keys.size(); ++i) {
        for (int j = i + 1; j < keys.size(); ++j) {
            const QRect both = keys[i].rect.intersected(keys[j].rect);
            if (both.isEmpty())
                continue;
            for (int y = both.top(); y <= both.bottom(); ++y) {
                for (int x = both.left(); x <= both.right(); ++x) {
                    QVERIFY2(!(opaqueAt(keys[i], {x, y}) && opaqueAt(keys[j], {x, y})),
                             qPrintable(QStringLiteral("%1 and %2 overlap at (%3, %4)")
                                            .arg(keys[i].label, keys[j].label)
                                            .arg(x)
                                            .arg(y)));
                }
            }
        }
    }
}

void TestSkins::controlStatesDiffer()
{
    // Every image with a resting and a lit state ("_0"/"_1", "-0"/"-1" for
    // a key and its frame) must show the change plainly, not by a pixel.
    static const QRegularExpression resting(QStringLiteral("^(.*[_-])0\\.png$"));
    for (const QString &skin : kSkins) {
        QDirIterator it(kImageDir + QLatin1Char('/') + skin, {QStringLiteral("*0.png")}, QDir::Files,
                        QDirIterator::Subdirectories);
        int pairs = 0;
        while (it.hasNext()) {
            const QString restingPath = it.next();
            const auto m = resting.match(restingPath);
            if (!m.hasMatch())
                continue;
            const QImage lit(m.captured(1) + QStringLiteral("1.png"));
            if (lit.isNull())
                continue;
            ++pairs;
            const QImage rest(restingPath);
            QCOMPARE(lit.size(), rest.size());
            const double difference = meanDifference(rest, lit);
            QVERIFY2(difference > 6.0, qPrintable(QStringLiteral("%1: %2").arg(restingPath).arg(difference)));
        }
        QVERIFY(pairs >= 30);
    }
}

void TestSkins::skinsDiffer()
{
    QDirIterator it(kImageDir + QStringLiteral("/skin1"), {QStringLiteral("*.png")}, QDir::Files,
                    QDirIterator::Subdirectories);
    int compared = 0;
    while (it.hasNext()) {
        const QString path = it.next();
        const QString name = path.mid(kImageDir.size() + QStringLiteral("/skin1/").size());
        // The colour strip shows the picker's colours, whatever the skin.
        if (name == QLatin1String("common/draw_palette.png"))
            continue;
        const QImage first(path);
        const QImage second = skinImage(QStringLiteral("skin2"), name);
        QVERIFY2(!second.isNull(), qPrintable(name));
        QCOMPARE(second.size(), first.size());
        QVERIFY2(meanDifference(first, second) > 10.0,
                 qPrintable(QStringLiteral("%1: %2").arg(name).arg(meanDifference(first, second))));
        ++compared;
    }
    QVERIFY(compared >= 100);
}

void TestSkins::trayIconHoldsSeveralSizes()
{
    QImageReader reader(kImageDir + QStringLiteral("/logo.ico"));
    QVERIFY2(reader.canRead(), qPrintable(reader.errorString()));
    QSet<int> sizes;
    do {
        const QImage image = reader.read();
        QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
        QCOMPARE(image.width(), image.height());
        // Not blank: its middle is opaque.
        QCOMPARE(qAlpha(image.pixel(image.width() / 2, image.height() / 2)), 255);
        sizes.insert(image.width());
    } while (reader.jumpToNextImage());
    QVERIFY(sizes.contains(16));
    QVERIFY(sizes.contains(32));
    QVERIFY(sizes.size() >= 3);
}

void TestSkins::onlyTheTwoSkinsAreInstalled()
{
    // The settings page offers the skin choice when more than one folder is
    // there, and the choice names skins 1 and 2 only.
    const QStringList folders = QDir(kImageDir).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    QCOMPARE(folders, kSkins);
}

QTEST_MAIN(TestSkins)
#include "tst_skins.moc"
