// The skin painter's reading of key tables: the shapes of the known key
// types, the measuring of types it does not know, and tables that are
// damaged or hostile.
#include "keytable.h"

#include <QtTest>

#include <QTemporaryDir>

namespace {

// Writes an INI key table with section [0] holding `rows` ("x, y, type,
// label, matrix, code") and returns its path.
QString writeTable(const QTemporaryDir &dir, const QString &name, const QStringList &rows,
                   const QString &total = QString())
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return QString();
    QByteArray text =
        "[0]\ntotal_HW=" + (total.isEmpty() ? QByteArray::number(rows.size()) : total.toUtf8()) +
        "\ntotal_FW=128\n";
    for (int i = 0; i < rows.size(); ++i)
        text += QByteArray::number(i + 1) + '=' + rows[i].toUtf8() + '\n';
    file.write(text);
    return path;
}

// A row of `count` one-unit keys of type 1 at pitch 28 starting at x.
QStringList unitRow(int x, int y, int count)
{
    QStringList rows;
    for (int i = 0; i < count; ++i)
        rows << QStringLiteral("%1, %2, 1, K, %3, 4").arg(x + 28 * i).arg(y).arg(i);
    return rows;
}

} // namespace

class TestKeyTable : public QObject
{
    Q_OBJECT

private slots:
    void knownTypesHaveTheirShapes_data();
    void knownTypesHaveTheirShapes();
    void unknownTypesAreMeasured();
    void damagedTablesAreSkipped_data();
    void damagedTablesAreSkipped();
};

void TestKeyTable::knownTypesHaveTheirShapes_data()
{
    // At a pitch of 28 with a 3-pixel gap between keys.
    QTest::addColumn<int>("type");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("lowerInset");
    QTest::newRow("1 x 1") << 1 << QSize(25, 25) << 0;
    QTest::newRow("1.25 x 1") << 2 << QSize(32, 25) << 0;
    QTest::newRow("2.75 x 1") << 7 << QSize(74, 25) << 0;
    QTest::newRow("6.25 x 1") << 8 << QSize(172, 25) << 0;
    QTest::newRow("1 x 2") << 9 << QSize(25, 53) << 0;
    QTest::newRow("ISO Enter") << 10 << QSize(39, 53) << 7;
}

void TestKeyTable::knownTypesHaveTheirShapes()
{
    QFETCH(int, type);
    QFETCH(QSize, size);
    QFETCH(int, lowerInset);
    QTemporaryDir dir;
    QStringList rows = unitRow(0, 0, 10) + unitRow(0, 28, 10);
    rows << QStringLiteral("300, 0, %1, X, 50, 4").arg(type);
    const QMap<int, KeyImage> images = keyImages(readKeyTables(writeTable(dir, "t.bin", rows)));
    QVERIFY(images.contains(type));
    QCOMPARE(images[type].size, size);
    QCOMPARE(images[type].lowerInset, lowerInset);
}

void TestKeyTable::unknownTypesAreMeasured()
{
    QTemporaryDir dir;
    // Type 20 is two units wide (its neighbour starts 56 pixels on); type
    // 21 stands in the first row where the second row has a gap under it,
    // with the second row going on beside it, so it spans both rows.
    QStringList rows = unitRow(0, 0, 4);
    rows << "112, 0, 20, W, 10, 4"
         << "168, 0, 1, K, 11, 4"
         << "196, 0, 21, T, 12, 4";
    rows += unitRow(0, 28, 7);
    const QMap<int, KeyImage> images = keyImages(readKeyTables(writeTable(dir, "t.bin", rows)));
    QCOMPARE(keyPitch(readKeyTables(dir.filePath("t.bin"))), 28);
    QCOMPARE(images.value(20).size, QSize(53, 25));
    QCOMPARE(images.value(21).size, QSize(25, 53));
}

void TestKeyTable::damagedTablesAreSkipped_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("total");
    QTest::addColumn<QList<int>>("types");

    QTest::newRow("no such rows") << QStringList() << "1000000000" << QList<int>();
    QTest::newRow("negative count") << unitRow(0, 0, 3) << "-5" << QList<int>();
    QTest::newRow("words for numbers") << QStringList{"a, b, c, d, e, f"} << "1" << QList<int>();
    QTest::newRow("short row") << QStringList{"0, 0"} << "1" << QList<int>();
    QTest::newRow("type out of range")
        << QStringList{"0, 0, 1000, A, 1, 4", "28, 0, -3, B, 2, 4", "56, 0, 2, C, 3, 4"} << "3"
        << QList<int>{2};
    QTest::newRow("key type 0 draws nothing") << QStringList{"0, 0, 0, M1, 116, 0"} << "1" << QList<int>();
}

void TestKeyTable::damagedTablesAreSkipped()
{
    QFETCH(QStringList, rows);
    QFETCH(QString, total);
    QFETCH(QList<int>, types);
    QTemporaryDir dir;
    const QMap<int, KeyImage> images = keyImages(readKeyTables(writeTable(dir, "t.bin", rows, total)));
    QCOMPARE(images.keys(), types);
    for (const KeyImage &image : images) {
        QVERIFY(image.size.width() >= 4 && image.size.width() <= 480);
        QVERIFY(image.size.height() >= 4 && image.size.height() <= 160);
    }
    QVERIFY(readKeyTables(dir.filePath("missing.bin")).isEmpty());
}

QTEST_GUILESS_MAIN(TestKeyTable)
#include "tst_keytable.moc"
