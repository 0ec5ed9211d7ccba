// The application configuration: the flat list in apConfig.bin and the
// restore from its factory copy.
#include "definitions.h"
#include "myquickview.h"
#include "programfolder.h"
#include "texts.h"

#include <QtTest>

#include <memory>

namespace {

const QString kConfig = QStringLiteral("modules/setting/apConfig.bin");
const QString kFactory = QStringLiteral("modules/setting/apConfigD.bin");

// A configuration as the settings page writes it: 32 entries of mixed kinds.
QVariantList pageList()
{
    QVariantList list{1, 2, 0, 1, 3, true, QStringLiteral("file:///home/u/bg.png"), 1};
    for (int c = 0; c < 7; ++c)
        list << 10 * c << 10 * c + 1 << 255 - c;
    list << 6 << 7 << QStringLiteral("http://example.org/q3");
    return list;
}

// What the file on disk holds, read by a settings object of its own after
// the view has written and let go of it.
QVariant onDisk(const QString &key)
{
    return QSettings(kConfig, QSettings::IniFormat).value(key);
}

// Runs the deferred deletion of the settings object a reset released.
void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

const QByteArray kFactoryText = "[common]\n"
                                "name=Q3 Gaming Keyboard\n"
                                "product_name=Q3 Keyboard, Q4 Mouse\n"
                                "total=4\n"
                                "0=1\n1=1\n2=0\n3=0\n";

} // namespace

class TestApConfig : public QObject
{
    Q_OBJECT

private slots:
    void saveThenLoad();
    void shorterSaveKeepsOldEntries();
    void load_data();
    void load();
    void reset_data();
    void reset();
    void resetThenSaveWritesOnlyNewValues();
    void resetToFactoryOfTheSameSize();
};

void TestApConfig::saveThenLoad()
{
    ProgramFolder folder;
    {
        myQQuickView view;
        view.saveApConfig(pageList());
        QCOMPARE(texts(view.loadApConfig()), texts(pageList()));
    }
    QCOMPARE(onDisk("common/total").toInt(), 32);
    myQQuickView reopened;
    QCOMPARE(texts(reopened.loadApConfig()), texts(pageList()));
}

void TestApConfig::shorterSaveKeepsOldEntries()
{
    ProgramFolder folder;
    {
        myQQuickView view;
        view.saveApConfig(pageList());
        view.saveApConfig({7, 8, 9});
        QCOMPARE(texts(view.loadApConfig()), (QStringList{"7", "8", "9"}));
    }
    QCOMPARE(onDisk("common/total").toInt(), 3);
    QCOMPARE(onDisk("common/3").toString(), pageList().at(3).toString());
    QCOMPARE(onDisk("common/31").toString(), QStringLiteral("http://example.org/q3"));
}

void TestApConfig::load_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("entries");

    QTest::newRow("total beyond the entries")
        << QByteArray("[common]\ntotal=5\n0=a\n1=b\n3=d\n") << QStringList{"a", "b", "0", "d", "0"};
    QTest::newRow("keys beyond the total ignored")
        << QByteArray("[common]\ntotal=1\n0=a\n1=b\n") << QStringList{"a"};
    QTest::newRow("escaped non-ASCII text")
        << QByteArray("[common]\ntotal=1\n0=\\x5e94\\x7528\n") << QStringList{QString::fromUtf8("应用")};
    QTest::newRow("missing file") << QByteArray() << QStringList{};
    QTest::newRow("empty file") << QByteArray("") << QStringList{};
    QTest::newRow("no total") << QByteArray("[common]\nname=Q3\n0=a\n") << QStringList{};
    QTest::newRow("non-numeric total") << QByteArray("[common]\ntotal=lots\n0=a\n") << QStringList{};
    QTest::newRow("negative total") << QByteArray("[common]\ntotal=-3\n0=a\n") << QStringList{};
    QStringList capped;
    for (int i = 0; i < definitions::kMaxEntries; ++i)
        capped << QStringLiteral("0");
    QTest::newRow("absurd total is capped") << QByteArray("[common]\ntotal=99999999999\n") << capped;
    QTest::newRow("garbage") << (QByteArray("\0\xff", 2) + "[[[common\n=\n\\\ntotal\n") << QStringList{};
}

void TestApConfig::load()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, entries);
    ProgramFolder folder;
    if (!file.isNull())
        QVERIFY(folder.write(kConfig, file));

    myQQuickView view;
    QCOMPARE(texts(view.loadApConfig()), entries);
}

void TestApConfig::reset_data()
{
    QTest::addColumn<bool>("factoryPresent");
    QTest::addColumn<bool>("unsavedChanges");
    QTest::addColumn<bool>("factoryReadOnly");

    QTest::newRow("factory file") << true << false << false;
    // The old settings object still holds the save when it is released; the
    // factory contents must win over it.
    QTest::newRow("right after a save") << true << true << false;
    QTest::newRow("read-only factory file") << true << false << true;
    QTest::newRow("no factory file") << false << false << false;
    QTest::newRow("no factory file, right after a save") << false << true << false;
}

void TestApConfig::reset()
{
    QFETCH(bool, factoryPresent);
    QFETCH(bool, unsavedChanges);
    QFETCH(bool, factoryReadOnly);
    ProgramFolder folder;
    QVERIFY(folder.write(kConfig, "[common]\nname=Mine\ntotal=2\n0=5\n1=6\n"));
    if (factoryPresent) {
        QVERIFY(folder.write(kFactory, kFactoryText));
        if (factoryReadOnly)
            QVERIFY(QFile::setPermissions(folder.path(kFactory), QFile::ReadOwner | QFile::ReadGroup));
    }

    myQQuickView view;
    if (unsavedChanges)
        view.saveApConfig(pageList());
    view.resetApconfig();
    const QVariantList expected = factoryPresent ? QVariantList{1, 1, 0, 0} : QVariantList{};
    QCOMPARE(texts(view.loadApConfig()), texts(expected));
    settle();
    QCOMPARE(texts(view.loadApConfig()), texts(expected));

    if (factoryPresent) {
        QCOMPARE(folder.read(kConfig), kFactoryText);
        QCOMPARE(onDisk("common/name").toString(), QStringLiteral("Q3 Gaming Keyboard"));
        QCOMPARE(onDisk("common/product_name").toStringList(), (QStringList{"Q3 Keyboard", "Q4 Mouse"}));
        // Later saves must be able to reach the file.
        QVERIFY(QFileInfo(folder.path(kConfig)).permissions() & QFile::WriteOwner);
    } else {
        QVERIFY(!folder.exists(kConfig));
    }
}

void TestApConfig::resetThenSaveWritesOnlyNewValues()
{
    ProgramFolder folder;
    QVERIFY(folder.write(kFactory, kFactoryText));
    {
        myQQuickView view;
        view.saveApConfig(pageList());
        view.resetApconfig();
        view.saveApConfig({1, 2});
        settle();
        QCOMPARE(texts(view.loadApConfig()), (QStringList{"1", "2"}));
    }
    QCOMPARE(onDisk("common/total").toInt(), 2);
    QCOMPARE(onDisk("common/name").toString(), QStringLiteral("Q3 Gaming Keyboard"));
    // The factory file has entries 0..3 only; nothing of the list saved
    // before the reset may come back.
    QVERIFY(!onDisk("common/31").isValid());

    // Without a factory file the next save creates the configuration anew.
    QVERIFY(QFile::remove(folder.path(kFactory)));
    {
        myQQuickView view;
        view.resetApconfig();
        QVERIFY(!folder.exists(kConfig));
        view.saveApConfig({4});
    }
    QCOMPARE(onDisk("common/total").toInt(), 1);
    QCOMPARE(onDisk("common/0").toInt(), 4);
}

void TestApConfig::resetToFactoryOfTheSameSize()
{
    // The file as the view writes the page's list.
    QByteArray written;
    {
        ProgramFolder scratch;
        {
            myQQuickView view;
            view.saveApConfig(pageList());
        }
        written = scratch.read(kConfig);
    }
    QByteArray factory = written;
    const int sound = factory.indexOf("\n2=0\n");
    QVERIFY(sound > 0);
    factory[sound + 3] = '1';

    // Reset right after saving: the old file is written out and replaced by
    // a factory file of the same size, all within one tick of the file
    // system's clock, so size and time stamp alone cannot tell them apart.
    for (int round = 0; round < 20; ++round) {
        ProgramFolder folder;
        QVERIFY(folder.write(kConfig, written));
        QVERIFY(folder.write(kFactory, factory));
        myQQuickView view;
        view.saveApConfig(pageList());
        view.resetApconfig();
        QCOMPARE(view.loadApConfig().value(2).toString(), QStringLiteral("1"));
        settle();
        QCOMPARE(folder.read(kConfig), factory);
    }
}

QTEST_MAIN(TestApConfig)
#include "tst_apconfig.moc"
