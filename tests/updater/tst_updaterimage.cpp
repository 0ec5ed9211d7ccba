// romwriter's image checks, file by file as the image writer makes them, on
// the real window with the emulated keyboard plugged in: an accepted image
// leads to the device search, a rejected one leaves only "Exit".
#include "firmwareimage.h"
#include "ispcalls.h"
#include "imagewriter.h"
#include "q3emu.h"
#include "startup.h"
#include "updaterfixture.h"

#include <QtTest>

#include <optional>

using namespace updaterfixture;

class TestUpdaterImage : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void checks_data();
    void checks();
    void zeroScrambleBytesInvertEveryFourthByte();
    void missingFile();
    void otherIdsLookForAnotherKeyboard();
};

Q_DECLARE_METATYPE(std::optional<unsigned short>)

void TestUpdaterImage::initTestCase()
{
    QVERIFY(romwriter::useGb18030AsLocalEncoding());
}

void TestUpdaterImage::init()
{
    q3emu::reset(q3emu::Scenario::Keyboard);
    ispcalls::clear();
}

void TestUpdaterImage::cleanup()
{
    ispcalls::overrideFormatWord(std::nullopt);
}

void TestUpdaterImage::checks_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<std::optional<unsigned short>>("formatWord");
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("accepted");
    // Whether the image got as far as the programming library.
    QTest::addColumn<bool>("loaded");

    const QByteArray raw = imagewriter::demoImage(0x0202);
    const std::optional<unsigned short> asIs;
    const QByteArray plain = imagewriter::dataFile(raw);
    const int maxFile = imagewriter::kHeaderBytes + imagewriter::kMaxBodyBytes;

    imagewriter::Options titled;
    titled.title = imagewriter::encodeTitle(QStringLiteral("固件更新 Q3 键盘"));
    imagewriter::Options longTitle;
    longTitle.title = QByteArray(imagewriter::kHeaderBytes, 'T');
    imagewriter::Options wrongSum;
    wrongSum.checksum = static_cast<uint16_t>(
        ispimage::sum16(reinterpret_cast<const uint8_t *>(raw.constData()), static_cast<size_t>(raw.size())) +
        1);
    imagewriter::Options atLimit;
    atLimit.trailingBytes = maxFile - plain.size();
    imagewriter::Options overLimit;
    overLimit.trailingBytes = maxFile - plain.size() + 1;
    imagewriter::Options cutImage;
    cutImage.truncateTo = plain.size() - 1;
    imagewriter::Options cutFields;
    cutFields.truncateTo = imagewriter::kHeaderBytes + 6;
    imagewriter::Options longerThanFile;
    longerThanFile.length = static_cast<uint32_t>(raw.size() + 1);

    QTest::newRow("magic header") << plain << asIs << "Update" << true << true;
    QTest::newRow("GB18030 title") << imagewriter::dataFile(raw, titled) << asIs << "固件更新 Q3 键盘" << true
                                   << true;
    QTest::newRow("title filling the header") << imagewriter::dataFile(raw, longTitle) << asIs
                                              << QString(imagewriter::kHeaderBytes, 'T') << true << true;
    QTest::newRow("file at the size limit")
        << imagewriter::dataFile(raw, atLimit) << asIs << "Update" << true << true;
    QTest::newRow("marker file") << imagewriter::noImageFile(titled) << asIs << "固件更新 Q3 键盘" << false
                                 << false;
    QTest::newRow("LoadProgdata refuses an empty image")
        << imagewriter::dataFile(QByteArray()) << asIs << "Update" << false << true;
    QTest::newRow("LoadProgdata refuses more than 64 KiB")
        << imagewriter::dataFile(imagewriter::demoImage(0x0202, 65537)) << asIs << "Update" << false << true;
    QTest::newRow("checksum mismatch")
        << imagewriter::dataFile(raw, wrongSum) << asIs << "Update" << false << true;
    QTest::newRow("format word 0x0000")
        << plain << std::optional<unsigned short>(0x0000) << "Update" << false << true;
    QTest::newRow("format word 0x8001")
        << plain << std::optional<unsigned short>(0x8001) << "Update" << false << true;
    QTest::newRow("one byte over the size limit")
        << imagewriter::dataFile(raw, overLimit) << asIs << "" << false << false;
    QTest::newRow("image cut short") << imagewriter::dataFile(raw, cutImage) << asIs << "Update" << false
                                     << false;
    QTest::newRow("length past the end")
        << imagewriter::dataFile(raw, longerThanFile) << asIs << "Update" << false << false;
    QTest::newRow("file ends in the fields")
        << imagewriter::dataFile(raw, cutFields) << asIs << "Update" << false << false;
    QTest::newRow("empty file") << QByteArray() << asIs << "" << false << false;
}

void TestUpdaterImage::checks()
{
    QFETCH(QByteArray, file);
    QFETCH(std::optional<unsigned short>, formatWord);
    QFETCH(QString, title);
    QFETCH(bool, accepted);
    QFETCH(bool, loaded);

    ProgramFolder folder;
    QVERIFY(folder.write(QStringLiteral("data.bin"), file));
    ispcalls::overrideFormatWord(formatWord);
    DebugCapture debug;
    romwriter::Widget w;
    w.show();

    QCOMPARE(w.windowTitle(), title);
    QCOMPARE(w.imageAccepted(), accepted);
    QCOMPARE(ispcalls::count(QStringLiteral("LoadProgdata")), loaded ? 1 : 0);
    QVERIFY(exitButton(w)->isEnabled());
    if (accepted) {
        // The keyboard is plugged in: found at once.
        QCOMPARE(w.link().runState().updateState, 1);
        QCOMPARE(w.link().runState().deviceIndex, 0);
        QCOMPARE(status(w), QStringLiteral("Connected to the Device!"));
        QVERIFY(updateButton(w)->isEnabled());
        QVERIFY(!progressBar(w)->isTextVisible());
        QCOMPARE(progressBar(w)->maximum(), 3 * 128 + 2);
        const QByteArray &image =
            QByteArray(reinterpret_cast<const char *>(w.image().data()), static_cast<int>(w.image().size()));
        const uint16_t crc = ispimage::crc16(reinterpret_cast<const uint8_t *>(image.constData()),
                                             static_cast<size_t>(image.size()));
        QCOMPARE(checksumText(w), QString::number(crc, 16));
        QCOMPARE(debug.countStartingWith(QStringLiteral("test ")), 1);
    } else {
        // Nothing looked for a device, and nothing will.
        QCOMPARE(w.link().runState().updateState, -1);
        QCOMPARE(w.link().runState().deviceIndex, -1);
        QVERIFY(w.link().entry(0).cmdPath.isEmpty());
        QCOMPARE(debug.countStartingWith(QStringLiteral("Device ")), 0);
        QCOMPARE(status(w), QStringLiteral("Error:"));
        QVERIFY(!updateButton(w)->isEnabled());
    }
}

void TestUpdaterImage::zeroScrambleBytesInvertEveryFourthByte()
{
    const QByteArray raw = imagewriter::demoImage(0x0202);
    imagewriter::Options zero;
    zero.scrambleA = 0;
    zero.scrambleB = 0;
    const QByteArray file = imagewriter::dataFile(raw, zero);
    ProgramFolder folder;
    QVERIFY(folder.write(QStringLiteral("data.bin"), file));
    romwriter::Widget w;
    QVERIFY(w.imageAccepted());

    const std::vector<uint8_t> &image = w.image();
    QCOMPARE(static_cast<int>(image.size()), raw.size());
    for (int i = 0; i < raw.size(); ++i) {
        const auto stored = static_cast<uint8_t>(file[imagewriter::kImageOffset + i]);
        const uint8_t expected = i % 4 == 3 ? static_cast<uint8_t>(~stored) : stored;
        if (image[static_cast<size_t>(i)] != expected)
            QFAIL(qPrintable(QStringLiteral("byte %1").arg(i)));
    }
}

void TestUpdaterImage::missingFile()
{
    ProgramFolder folder;
    DebugCapture debug;
    romwriter::Widget w;
    QCOMPARE(debug.count(QStringLiteral("Open data File fail")), 1);
    QVERIFY(!w.imageAccepted());
    QVERIFY(w.windowTitle().isEmpty());
    QVERIFY(!updateButton(w)->isEnabled());
    QVERIFY(w.link().entry(0).cmdPath.isEmpty());

    // A folder of that name is no file either.
    QVERIFY(QDir(folder.root()).mkdir(QStringLiteral("data.bin")));
    romwriter::Widget again;
    QCOMPARE(debug.count(QStringLiteral("Open data File fail")), 2);
}

void TestUpdaterImage::otherIdsLookForAnotherKeyboard()
{
    imagewriter::Options other;
    other.vendorId = 0x1234;
    other.productId = 0x5678;
    ProgramFolder folder;
    QVERIFY(folder.write(QStringLiteral("data.bin"),
                         imagewriter::dataFile(imagewriter::demoImage(0x0202), other)));
    romwriter::Widget w;
    QVERIFY(w.imageAccepted());
    QCOMPARE(w.link().entry(0).vendorId, uint16_t(0x1234));
    QCOMPARE(w.link().entry(0).productId, uint16_t(0x5678));
    QCOMPARE(w.link().entry(1).productId, uint16_t(0x8022));
    // The Q3 keyboard that is plugged in is not the one this image is for.
    QCOMPARE(w.link().runState().deviceIndex, -1);
    QCOMPARE(status(w), QStringLiteral("Disconnect the Device!"));
}

QTEST_MAIN(TestUpdaterImage)
#include "tst_updaterimage.moc"
