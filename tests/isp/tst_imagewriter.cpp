// The image writer's files, read back the way romwriter reads them, and its
// command line.
#include "firmwareimage.h"
#include "imagewriter.h"
#include "ispdll.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

namespace {

int bigEndian(const QByteArray &file, int at, int bytes)
{
    int value = 0;
    for (int i = 0; i < bytes; ++i)
        value = (value << 8) | static_cast<uint8_t>(file[at + i]);
    return value;
}

// Descrambled as romwriter does it, independently of the writer's scramble().
QByteArray descrambled(const QByteArray &file)
{
    const uint8_t a = static_cast<uint8_t>(file[129]), b = static_cast<uint8_t>(file[130]);
    const uint8_t m = static_cast<uint8_t>((a & 0xAA) | (b & 0x55));
    const int length = bigEndian(file, 124, 3);
    QByteArray image = file.mid(imagewriter::kImageOffset, length);
    for (int i = 0; i < image.size(); ++i) {
        const uint8_t key = i % 4 == 0 ? a : i % 4 == 1 ? b : i % 4 == 2 ? m : static_cast<uint8_t>(~m);
        image[i] = static_cast<char>(static_cast<uint8_t>(image[i]) ^ key);
    }
    return image;
}

QByteArray bytes(std::initializer_list<uint8_t> list)
{
    return QByteArray(reinterpret_cast<const char *>(list.begin()), int(list.size()));
}

} // namespace

class TestImageWriter : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data()
    {
        QTest::addColumn<int>("a");
        QTest::addColumn<int>("b");
        QTest::addColumn<QByteArray>("image");
        QTest::newRow("defaults, demo image") << 0x5A << 0xC3 << imagewriter::demoImage(0x0203);
        QTest::newRow("A = B = 0") << 0 << 0 << QByteArray(9, 0x10);
        QTest::newRow("A = B = 0xFF") << 0xFF << 0xFF << QByteArray(7, char(0xF0));
        QTest::newRow("one byte") << 0x12 << 0x34 << QByteArray(1, 'x');
    }

    void roundTrip()
    {
        QFETCH(int, a);
        QFETCH(int, b);
        QFETCH(QByteArray, image);
        imagewriter::Options o;
        o.scrambleA = uint8_t(a);
        o.scrambleB = uint8_t(b);
        o.vendorId = 0x1234;
        o.productId = 0xABCD;
        const QByteArray file = imagewriter::dataFile(image, o);
        QCOMPARE(file.size(), 131 + image.size());
        QCOMPARE(file.left(5), bytes({0x55, 0xAA, 0x99, 0x88, 0x77}));
        QCOMPARE(file.mid(5, 115), QByteArray(115, 0));
        QCOMPARE(bigEndian(file, 120, 2), 0x1234);
        QCOMPARE(bigEndian(file, 122, 2), 0xABCD);
        QCOMPARE(bigEndian(file, 124, 3), image.size());
        QCOMPARE(bigEndian(file, 129, 1), a);
        QCOMPARE(bigEndian(file, 130, 1), b);
        QCOMPARE(descrambled(file), image);

        // The file's checksum is what the library computes for the image.
        QByteArray loaded = descrambled(file);
        QCOMPARE(LoadProgdata(reinterpret_cast<unsigned char *>(loaded.data()), unsigned(loaded.size()),
                              nullptr, nullptr, nullptr, nullptr, nullptr, nullptr),
                 ISP_OK);
        QCOMPARE(bigEndian(file, 127, 2), int(GetChksum(1)));
    }

    void zeroScrambleBytesInvertEveryFourth()
    {
        imagewriter::Options o;
        o.scrambleA = o.scrambleB = 0;
        const QByteArray file = imagewriter::dataFile(QByteArray(8, 0x0F), o);
        QCOMPARE(file.mid(131), bytes({0x0F, 0x0F, 0x0F, 0xF0, 0x0F, 0x0F, 0x0F, 0xF0}));
    }

    void spoiledFiles_data()
    {
        QTest::addColumn<int>("checksum");
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("trailing");
        QTest::addColumn<int>("truncate");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("lengthField");
        QTest::newRow("wrong checksum") << 0xBEEF << -1 << 0 << -1 << 131 + 100 << 100;
        QTest::newRow("length beyond the data") << -1 << 5000 << 0 << -1 << 131 + 100 << 5000;
        QTest::newRow("truncated") << -1 << -1 << 0 << 180 << 180 << 100;
        QTest::newRow("trailing bytes") << -1 << -1 << 30 << -1 << 131 + 130 << 100;
        QTest::newRow("longer than romwriter reads")
            << -1 << -1 << imagewriter::kMaxBodyBytes << -1 << 131 + 100 + imagewriter::kMaxBodyBytes << 100;
    }

    void spoiledFiles()
    {
        QFETCH(int, checksum);
        QFETCH(int, length);
        QFETCH(int, trailing);
        QFETCH(int, truncate);
        QFETCH(int, size);
        QFETCH(int, lengthField);
        const QByteArray image(100, 0x21);
        imagewriter::Options o;
        if (checksum >= 0)
            o.checksum = uint16_t(checksum);
        if (length >= 0)
            o.length = uint32_t(length);
        o.trailingBytes = trailing;
        o.truncateTo = truncate;
        const QByteArray file = imagewriter::dataFile(image, o);
        QCOMPARE(file.size(), size);
        QCOMPARE(bigEndian(file, 124, 3), lengthField);
        QCOMPARE(bigEndian(file, 127, 2), checksum >= 0 ? checksum : 100 * 0x21);
        if (trailing > 0)
            QCOMPARE(file.right(trailing), QByteArray(trailing, char(0xEE)));
    }

    void titleAndMarker()
    {
        imagewriter::Options o;
        o.title = imagewriter::encodeTitle(QStringLiteral("固件升级 V2"));
        const QByteArray file = imagewriter::noImageFile(o);
        QCOMPARE(file.size(), 125);
        QCOMPARE(file.mid(120), bytes({0xAA, 0x55, 0xCC, 0x33, 0xDD}));
        const int nul = file.indexOf('\0');
        QVERIFY(nul > 0 && nul < 120);
        QCOMPARE(QTextCodec::codecForName("GB18030")->toUnicode(file.left(nul)),
                 QStringLiteral("固件升级 V2"));

        // A title that fills the header has no room for its NUL.
        o.title = QByteArray(200, 'T');
        QCOMPARE(imagewriter::header(o), QByteArray(120, 'T'));
    }

    void demoImageCarriesItsVersion()
    {
        const QByteArray image = imagewriter::demoImage(0x0203);
        QCOMPARE(image.size(), imagewriter::kDemoImageBytes);
        QCOMPARE(image, imagewriter::demoImage(0x0203)); // the same every time
        const auto *raw = reinterpret_cast<const uint8_t *>(image.constData());
        QCOMPARE(int(ispimage::versionOf(raw, size_t(image.size())).value_or(0)), 0x0203);
        QVERIFY(image.contains("Q3 demo 2.03"));
        QCOMPARE(imagewriter::demoImage(0x0300, 16).size(), 0x120);
    }

    void versionBlock_data()
    {
        QTest::addColumn<QByteArray>("block");
        QTest::addColumn<int>("version");
        QTest::newRow("intact") << QByteArray("Q3VN") + bytes({0x02, 0x03, 0xFD, 0xFC}) << 0x0203;
        QTest::newRow("complement broken") << QByteArray("Q3VN") + bytes({0x02, 0x03, 0xFD, 0xFD}) << -1;
        QTest::newRow("other magic") << QByteArray("Q3VM") + bytes({0x02, 0x03, 0xFD, 0xFC}) << -1;
        QTest::newRow("erased") << QByteArray(8, char(0xFF)) << -1;
    }

    void versionBlock()
    {
        QFETCH(QByteArray, block);
        QFETCH(int, version);
        QByteArray image(0x108, 0);
        image.replace(0x100, 8, block);
        const auto *raw = reinterpret_cast<const uint8_t *>(image.constData());
        const std::optional<uint16_t> v = ispimage::versionOf(raw, size_t(image.size()));
        QCOMPARE(v ? int(*v) : -1, version);
        QVERIFY(!ispimage::versionOf(raw, 0x107)); // cut off
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("demo") << QStringList{"--demo", "0x0203", "--save-raw", "RAW"} << 0;
        QTest::newRow("no image with title") << QStringList{"--no-image", "--title-hex", "4142"} << 0;
        QTest::newRow("no source") << QStringList{} << 2;
        QTest::newRow("two sources") << QStringList{"--demo", "1", "--no-image"} << 2;
        QTest::newRow("bad number") << QStringList{"--demo", "0x10000"} << 2;
        QTest::newRow("missing raw file") << QStringList{"--raw", "/nonexistent/raw.bin"} << 2;
    }

    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QTemporaryDir dir;
        const QString out = dir.filePath("data.bin"), raw = dir.filePath("raw.bin");
        arguments.replaceInStrings(QRegularExpression("^RAW$"), raw);
        QProcess p;
        p.start(IMAGEWRITER, arguments << out);
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitCode(), exitCode);
        QCOMPARE(QFile::exists(out), exitCode == 0);
        if (exitCode != 0) {
            QVERIFY(!p.readAllStandardError().isEmpty());
            return;
        }
        QFile f(out);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray file = f.readAll();
        if (arguments.contains("--demo")) {
            QCOMPARE(file, imagewriter::dataFile(imagewriter::demoImage(0x0203)));
            QFile r(raw);
            QVERIFY(r.open(QIODevice::ReadOnly));
            QCOMPARE(r.readAll(), imagewriter::demoImage(0x0203));
        } else {
            QCOMPARE(file.left(3), QByteArray("AB\0", 3));
            QCOMPARE(file.mid(120), bytes({0xAA, 0x55, 0xCC, 0x33, 0xDD}));
        }
    }
};

QTEST_GUILESS_MAIN(TestImageWriter)
#include "tst_imagewriter.moc"
