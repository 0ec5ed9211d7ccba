// Profile slot files of a fresh program folder: made from the shipped default
// profile before the view reads them, never over anything already there.
#include "myquickview.h"
#include "profileslots.h"
#include "programfolder.h"

#include <QtTest>

#include <memory>
#include <sys/stat.h>

namespace {

const QString kSettings = QStringLiteral("modules/setting");

QString slotFile(int slot)
{
    return QStringLiteral("modules/setting/p%1.bin").arg(slot + 1);
}

QByteArray shippedDefaultProfile()
{
    QFile file(QStringLiteral(GEARPANEL_MODULES_DIR "/setting/pD.bin"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList texts(const QVariantList &list)
{
    QStringList out;
    for (const QVariant &v : list)
        out << v.toString();
    return out;
}

} // namespace

class TestProfileSlots : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void shippedFolderGivesEverySlotTheDefaultProfile();
    void defaultReachedThroughALinkGivesFilesOfTheirOwn();
    void whateverIsAtASlotStays();
    void withoutDefaultNothingIsMade();
    void unusableDefaultMakesNothing_data();
    void unusableDefaultMakesNothing();

private:
    std::unique_ptr<ProgramFolder> folder;
    QStringList settingsFiles() const
    {
        return QDir(folder->path(kSettings)).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                                       QDir::NoDotAndDotDot);
    }
};

void TestProfileSlots::init()
{
    folder = std::make_unique<ProgramFolder>();
    QVERIFY(folder->isValid());
}

void TestProfileSlots::cleanup()
{
    folder.reset();
}

void TestProfileSlots::shippedFolderGivesEverySlotTheDefaultProfile()
{
    const QByteArray shipped = shippedDefaultProfile();
    QVERIFY(!shipped.isEmpty());
    QVERIFY(folder->write(kSettings + "/pD.bin", shipped));

    myQQuickView view;
    QCOMPARE(settingsFiles(), QStringList({"p1.bin", "p2.bin", "p3.bin", "p4.bin", "pD.bin"}));

    QSettings reference(folder->path(kSettings + "/pD.bin"), QSettings::IniFormat);
    const QStringList lighting = texts(reference.value("color/ledType").toList());
    const QStringList palette = texts(reference.value("color/color").toList());
    QCOMPARE(lighting.size(), 6);
    QCOMPARE(palette.size(), 21);
    for (int slot = 0; slot < 4; ++slot) {
        QCOMPARE(folder->read(slotFile(slot)), shipped);
        view.ui_21H_SetCurrentProfile(slot);
        QCOMPARE(texts(view.ui_88H_GetLEDType()), lighting);
        QCOMPARE(texts(view.ui_B0H_GetColor()), palette);
        for (int position = 0; position < 128; ++position) {
            const QStringList key = texts(view.getKeydefine(position));
            QCOMPARE(key, texts(reference.value(QStringLiteral("keydefine0/%1").arg(position)).toList()));
            QCOMPARE(key.size(), 2);
        }
    }
    // The Escape key holds its own usage, not the 0 an empty slot gave.
    view.ui_21H_SetCurrentProfile(2);
    QCOMPARE(texts(view.getKeydefine(0)), QStringList({"41", "0"}));
}

void TestProfileSlots::defaultReachedThroughALinkGivesFilesOfTheirOwn()
{
    // The per-user folder links pD.bin to the installed one.
    const QByteArray shipped = shippedDefaultProfile();
    QVERIFY(folder->write("installed/pD.bin", shipped));
    QVERIFY(QFile::link(folder->path("installed/pD.bin"), folder->path(kSettings + "/pD.bin")));

    QCOMPARE(profileslots::makeMissingSlots(), 4);
    for (int slot = 0; slot < 4; ++slot) {
        const QFileInfo made(folder->path(slotFile(slot)));
        QVERIFY(made.isFile() && !made.isSymLink());
        QCOMPARE(folder->read(slotFile(slot)), shipped);
    }
    // A save into a slot reaches neither the default nor the installed file.
    {
        myQQuickView view;
        QVariantList palette;
        for (int i = 0; i < 21; ++i)
            palette << 7;
        view.ui_30H_SetColor(palette);
    }
    QCOMPARE(folder->read("installed/pD.bin"), shipped);
    QVERIFY(folder->read(slotFile(0)) != shipped);
    // Nothing is made twice.
    QCOMPARE(profileslots::makeMissingSlots(), 0);
}

void TestProfileSlots::whateverIsAtASlotStays()
{
    QVERIFY(folder->write(kSettings + "/pD.bin", "[color]\nledType=1, 2, 3, 4, 5, 6\n"));
    const QByteArray own = "[color]\nledType=9, 9, 9, 9, 9, 9\n";
    QVERIFY(folder->write(slotFile(1), own));
    QVERIFY(folder->write(slotFile(2), QByteArray()));
    QVERIFY(QFile::link(folder->path("nowhere/p4.bin"), folder->path(slotFile(3))));

    QCOMPARE(profileslots::makeMissingSlots(), 1);
    QCOMPARE(folder->read(slotFile(1)), own);
    QCOMPARE(QFileInfo(folder->path(slotFile(2))).size(), 0);
    QVERIFY(QFileInfo(folder->path(slotFile(3))).isSymLink());
    QVERIFY(!folder->exists("nowhere"));

    myQQuickView view;
    view.ui_21H_SetCurrentProfile(1);
    QCOMPARE(texts(view.ui_88H_GetLEDType()), QStringList({"9", "9", "9", "9", "9", "9"}));
    view.ui_21H_SetCurrentProfile(0);
    QCOMPARE(texts(view.ui_88H_GetLEDType()), QStringList({"1", "2", "3", "4", "5", "6"}));
}

void TestProfileSlots::withoutDefaultNothingIsMade()
{
    {
        myQQuickView view;
        QVERIFY(view.getKeydefine(0).isEmpty());
    }
    QVERIFY(settingsFiles().isEmpty());

    // Nor without the settings folder itself.
    QVERIFY(QDir(folder->path(kSettings)).removeRecursively());
    QCOMPARE(profileslots::makeMissingSlots(), 0);
    myQQuickView view;
    QVERIFY(view.getKeydefine(0).isEmpty());
}

void TestProfileSlots::unusableDefaultMakesNothing_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("folder") << "folder";
    QTest::newRow("fifo") << "fifo";
    QTest::newRow("dangling link") << "link";
    QTest::newRow("larger than any profile") << "huge";
}

void TestProfileSlots::unusableDefaultMakesNothing()
{
    QFETCH(QString, kind);
    const QString defaultFile = folder->path(kSettings + "/pD.bin");
    if (kind == "folder")
        QVERIFY(QDir().mkpath(defaultFile));
    else if (kind == "fifo")
        QCOMPARE(::mkfifo(QFile::encodeName(defaultFile).constData(), 0600), 0);
    else if (kind == "link")
        QVERIFY(QFile::link(folder->path("gone.bin"), defaultFile));
    else
        QVERIFY(folder->write(kSettings + "/pD.bin", QByteArray(4 * 1024 * 1024 + 1, ';')));

    // A FIFO must not block the start: nothing reads it.
    QCOMPARE(profileslots::makeMissingSlots(), 0);
    QVERIFY(!profileslots::makeFromDefault(folder->path(slotFile(0)), defaultFile));
    QCOMPARE(settingsFiles(), QStringList({"pD.bin"}));
}

QTEST_MAIN(TestProfileSlots)
#include "tst_profileslots.moc"
