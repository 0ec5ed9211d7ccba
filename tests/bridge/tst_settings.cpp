// The settings bridge and the profile store, end to end: QML's values go in
// through the view's slots, and the profile files on disk and what the
// emulated keyboard stored and received come out.
#include "linkfixture.h"
#include "myquickview.h"
#include "programfolder.h"
#include "texts.h"
#include "scripteddialogs.h"

#include <QtTest>

#include <memory>
#include <sys/stat.h>

using q3emu::TraceEntry;

namespace {

// A key matrix as the key page sends it: key i holds code 0x0100 + i, with
// key 4 at 0x30B5 (a media key) and keys 45 and 61 apart.
QVariantList keyMatrix()
{
    QVariantList list;
    for (int i = 0; i < 128; ++i)
        list << (i & 0xFF) << 0x01;
    list[8] = 181;
    list[9] = 48;
    list[90] = 0x31;
    list[91] = 0x00;
    list[122] = 0x64;
    list[123] = 0x00;
    return list;
}

// A picture whose key k is (k, 2k mod 256, 255 - k), with key 45 at
// (255, 2, 128) and key 61 black.
QVariantList picture()
{
    QVariantList list;
    for (int k = 0; k < 128; ++k)
        list << k << (2 * k) % 256 << 255 - k;
    list[135] = 255;
    list[136] = 2;
    list[137] = 128;
    list[183] = list[184] = list[185] = 0;
    return list;
}

QVariantList palette(int base)
{
    QVariantList list;
    for (int k = 0; k < 21; ++k)
        list << (base + 12 * k) % 256;
    return list;
}

QStringList texts(const uint8_t *bytes, int n)
{
    QStringList out;
    for (int k = 0; k < n; ++k)
        out << QString::number(bytes[k]);
    return out;
}

// Command codes of the packets the keyboard received, in order.
QList<int> commandsSent()
{
    QList<int> codes;
    for (const TraceEntry &e : fixture::traceOf(TraceEntry::Kind::FeatureSent))
        codes << e.bytes.at(1);
    return codes;
}

// A profile file as written by another settings object: `key` = `value`.
void writeProfile(const ProgramFolder &folder, const QString &file, const QString &key, const QVariant &value)
{
    QSettings settings(folder.path("modules/setting/" + file), QSettings::IniFormat);
    settings.setValue(key, value);
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    // The settings bridge.
    void lightingStoresSpeedZeroSendsOne();
    void keyMatrixMirrorsKey45OnlyOnTheWire();
    void pictureAndPaletteScaleColours();
    void pictureOptionStoreOnlySendsNothing();
    void shortListsAreRefusedWhole();
    void keyboardModeKeepsTheOtherOptionBytes();
    void reportRateOnlyForTheMouseRow();
    void firmwareVersion_data();
    void firmwareVersion();
    void profileSwitchRedirectsTheFile();
    void gettersAskTheKeyboard();
    void syncTakesOnlyAProfileThatExists_data();
    void syncTakesOnlyAProfileThatExists();

    // The profile store.
    void exportReplacesTargetWithCurrentState();
    void importKeepsSlotsInOrder();
    void importOfSameSizeFileIsSeen();
    void failedImportKeepsTheSlot_data();
    void failedImportKeepsTheSlot();
    void resetCopiesDefaultOrKeepsSlot();
    void slotsOutsideRangeAreRefused();
    void keyMatrixFollowsLayoutAndProfile();

private:
    std::unique_ptr<ProgramFolder> folder;
    std::unique_ptr<Hid_Thread> link;
    std::unique_ptr<myQQuickView> view;

    void settle() { QVERIFY(fixture::waitUntilIdle(*link)); }
    // Makes a fresh view, after writing HWDef.bin for `layout`.
    void newView(int layout = 0)
    {
        view.reset();
        folder->write("modules/setting/HWDef.bin",
                      "[common]\nkbLayoutType=" + QByteArray::number(layout) + "\n");
        view = std::make_unique<myQQuickView>();
        view->setHid(link.get());
    }
    QByteArray fileText(int slot)
    {
        return folder->read(QStringLiteral("modules/setting/p%1.bin").arg(slot + 1));
    }
};

void TestSettings::init()
{
    folder = std::make_unique<ProgramFolder>();
    link = fixture::makeLink();
    newView();
    q3emu::clearTrace();
}

void TestSettings::cleanup()
{
    view.reset();
    link.reset();
    folder.reset();
}

void TestSettings::lightingStoresSpeedZeroSendsOne()
{
    view->ui_08H_SetLEDType(3, 4, 0, 1, 2, 5);
    settle();
    const q3emu::KeyboardState state = q3emu::state();
    const auto &lighting = state.profiles[0].lighting;
    QCOMPARE(texts(lighting, 6), QStringList({"3", "4", "1", "1", "2", "5"}));
    QCOMPARE(texts(view->ui_88H_GetLEDType()), QStringList({"3", "4", "0", "1", "2", "5"}));
    view.reset();
    QVERIFY(fileText(0).contains("[color]\nledType=3, 4, 0, 1, 2, 5\n"));
}

void TestSettings::keyMatrixMirrorsKey45OnlyOnTheWire()
{
    view->ui_0C0DH_SetKeyMatrix(keyMatrix());
    settle();
    QCOMPARE(commandsSent(), QList<int>({0x0C, 0x0D}));
    QVERIFY(fixture::traceOf(TraceEntry::Kind::FeatureSent).front().time <
            fixture::traceOf(TraceEntry::Kind::FeatureSent).back().time);

    const q3emu::KeyboardState state = q3emu::state();
    const auto &stored = state.profiles[0].keyMatrix;
    QCOMPARE(stored[8], uint8_t(181));
    QCOMPARE(stored[9], uint8_t(48));
    QCOMPARE(stored[122], uint8_t(0x31)); // 45's code at 61
    QCOMPARE(stored[123], uint8_t(0x00));
    QCOMPARE(stored[254], uint8_t(127));

    QCOMPARE(texts(view->getKeydefine(61)), QStringList({"100", "0"}));
    QCOMPARE(texts(view->getKeydefine(45)), QStringList({"49", "0"}));
    view.reset();
    QVERIFY(fileText(0).contains("[keydefine0]\n0=0, 1\n1=1, 1\n"));
    QVERIFY(fileText(0).contains("\n4=181, 48\n"));
    QVERIFY(fileText(0).contains("\n61=100, 0\n"));
}

void TestSettings::pictureAndPaletteScaleColours()
{
    view->ui_12H_SetUserPicture(1, 0, picture());
    view->ui_30H_SetColor(palette(255));
    settle();
    QCOMPARE(commandsSent(), QList<int>({0x12, 0x12, 0x12, 0x30}));

    const q3emu::ProfileState p = q3emu::state().profiles[0];
    // Key 45 is (255, 2, 128): 63, 0, 32 on the device, and so is key 61.
    for (int key : {45, 61}) {
        QCOMPARE(p.pictures[1][0][key], uint8_t(63));
        QCOMPARE(p.pictures[1][1][key], uint8_t(0));
        QCOMPARE(p.pictures[1][2][key], uint8_t(32));
    }
    QCOMPARE(p.pictures[1][2][3], uint8_t((255 - 3) / 4));
    QCOMPARE(p.palette[0], uint8_t(63));
    QCOMPARE(p.palette[1], uint8_t((255 + 12) % 256 / 4));
    QCOMPARE(texts(p.palette + 21, 43), QString("0 ").repeated(43).trimmed().split(' '));

    // The files keep QML's 0..255 values, key 61 included.
    QCOMPARE(texts(view->ui_92H_GetUserPicture(1)), texts(picture()));
    QCOMPARE(texts(view->ui_B0H_GetColor()), texts(palette(255)));
}

void TestSettings::pictureOptionStoreOnlySendsNothing()
{
    view->ui_12H_SetUserPicture(2, 255, picture());
    settle();
    QVERIFY(q3emu::trace().empty());
    QCOMPARE(q3emu::state().profiles[0].pictures[2][0][45], uint8_t(0));
    view.reset();
    QVERIFY(fileText(0).contains("[userPicture]\n2=0, 0, 255, 1, 2, 254, "));
}

void TestSettings::shortListsAreRefusedWhole()
{
    view->ui_0C0DH_SetKeyMatrix(keyMatrix().mid(0, 255));
    view->ui_12H_SetUserPicture(0, 0, picture().mid(0, 383));
    view->ui_30H_SetColor(palette(0).mid(0, 20));
    settle();
    QVERIFY(q3emu::trace().empty());
    QVERIFY(view->getKeydefine(0).isEmpty());
    QVERIFY(view->ui_92H_GetUserPicture(0).isEmpty());
    QVERIFY(view->ui_B0H_GetColor().isEmpty());
}

void TestSettings::keyboardModeKeepsTheOtherOptionBytes()
{
    q3emu::KeyboardState s = q3emu::state();
    s.options[0] = 0;
    s.options[1] = 7;
    s.options[2] = 9;
    q3emu::setState(s);
    view->ui_02H_SetKeyboardMode(1);
    settle();
    QCOMPARE(commandsSent(), QList<int>({0x82, 0x02}));
    QCOMPARE(texts(q3emu::state().options, 3), QStringList({"1", "7", "9"}));
    QCOMPARE(view->ui_82H_GetKeyboardMode().toInt(), 1);
}

void TestSettings::reportRateOnlyForTheMouseRow()
{
    link = fixture::makeLink(q3emu::Scenario::KeyboardAndMouse);
    view->setHid(link.get());
    view->ui_01H_SetReportRate(4);
    {
        QSettings p1(folder->path("modules/setting/p1.bin"), QSettings::IniFormat);
        QVERIFY(!p1.contains("sensor/reportRate_Q4"));
    }
    link->swichCurDevice(1);
    view->ui_01H_SetReportRate(4);
    settle();
    view.reset();
    QVERIFY(fileText(0).contains("[sensor]\nreportRate_Q4=4\n"));
    QCOMPARE(commandsSent(), QList<int>());
}

void TestSettings::firmwareVersion_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<bool>("current");
    QTest::newRow("02.03") << 0x0203 << true;
    QTest::newRow("02.04") << 0x0204 << false;
    QTest::newRow("0A.03 is not 02.03") << 0x0A03 << false;
    QTest::newRow("unknown") << 0 << false;
}

void TestSettings::firmwareVersion()
{
    QFETCH(int, version);
    QFETCH(bool, current);
    q3emu::KeyboardState s = q3emu::state();
    s.firmwareVersion = uint16_t(version);
    q3emu::setState(s);
    QCOMPARE(view->ui_80H_GetFWVersion(), current);
    QCOMPARE(view->ui_80H_GetHWMode().toInt(), 0);
}

void TestSettings::profileSwitchRedirectsTheFile()
{
    writeProfile(*folder, "p3.bin", "color/color", palette(7));
    view->ui_21H_SetCurrentProfile(2);
    settle();
    QCOMPARE(q3emu::state().activeProfile, uint8_t(2));
    QCOMPARE(view->ui_A1H_GetCurrentProfile().toInt(), 2);
    QCOMPARE(texts(view->ui_B0H_GetColor()), texts(palette(7)));

    view->ui_08H_SetLEDType(9, 1, 1, 1, 1, 1);
    settle();
    QCOMPARE(q3emu::state().profiles[2].lighting[0], uint8_t(9));
    view.reset();
    QVERIFY(fileText(2).contains("ledType=9, 1, 1, 1, 1, 1"));
    QVERIFY(!fileText(0).contains("ledType"));
}

void TestSettings::gettersAskTheKeyboard()
{
    q3emu::KeyboardState s = q3emu::state();
    s.sensitivity = 5;
    for (int k = 0; k < 6; ++k)
        s.profiles[0].lighting[k] = uint8_t(10 + k);
    s.profiles[0].keyMatrix[200] = 0xAB;
    q3emu::setState(s);

    QCOMPARE(view->ui_84H_GetButtonSensitivity().toInt(), 5);
    QCOMPARE(texts(view->ui_88H_GetLEDTypeX()), QStringList({"10", "11", "12", "13", "14", "15"}));
    const QVariantList matrix = view->ui_8C8DH_GetKeyMatrix();
    QCOMPARE(matrix.size(), 256);
    QCOMPARE(texts(matrix), texts(q3emu::state().profiles[0].keyMatrix, 256));
    QCOMPARE(view->ui_81H_GetReportRate().toInt(), 0);
    // The lighting kept in the profile file is a different thing: none yet.
    QVERIFY(view->ui_88H_GetLEDType().isEmpty());
}

void TestSettings::syncTakesOnlyAProfileThatExists_data()
{
    QTest::addColumn<int>("reported");
    QTest::addColumn<int>("expected");
    QTest::newRow("3") << 3 << 3;
    QTest::newRow("4") << 4 << 1;
    QTest::newRow("255") << 255 << 1;
}

// The active profile comes from the keyboard's answer, and every profile
// file and macro folder is picked by it.
void TestSettings::syncTakesOnlyAProfileThatExists()
{
    QFETCH(int, reported);
    QFETCH(int, expected);
    writeProfile(*folder, "p2.bin", "color/color", QVariantList{7, 8, 9});
    writeProfile(*folder, "p4.bin", "color/color", QVariantList{1, 2, 3});
    newView();
    view->ui_21H_SetCurrentProfile(1);
    settle();
    q3emu::serveRawExchanges({{{0x00, 0x80, 0x02, 0x03, 0x02, 0x00, 0x55, 0xAA, 0x00}, {}},
                              {{0x00, 0xA1, uint8_t(reported), 0x00, 0x00, 0x00, 0x55, 0xAA, 0x00}, {}}});
    view->syncFW();
    QCOMPARE(int(view->activeProfile()), expected);
    QCOMPARE(int(view->keyboardLayout()), 1);
    QCOMPARE(texts(view->ui_B0H_GetColor()),
             expected == 3 ? QStringList({"1", "2", "3"}) : QStringList({"7", "8", "9"}));
}

void TestSettings::exportReplacesTargetWithCurrentState()
{
    ScriptedDialogs dialogs;
    dialogs.saveAnswer = folder->path("exports/mine.pf");
    QVERIFY(folder->write("exports/mine.pf", "stale export"));
    view->ui_21H_SetCurrentProfile(2);
    view->ui_30H_SetColor(palette(3));
    view->saveProfile(2);

    QCOMPARE(dialogs.saved.size(), 1);
    QCOMPARE(dialogs.saved.at(0).parent, static_cast<QWidget *>(view.get()));
    QCOMPARE(dialogs.saved.at(0).caption, QStringLiteral("Save File"));
    QCOMPARE(dialogs.saved.at(0).filter, QStringLiteral("Profile(*.pf)"));
    // What was applied a moment ago is in the export.
    QVERIFY(folder->read("exports/mine.pf").contains("[color]\ncolor="));
    QCOMPARE(folder->read("exports/mine.pf"), fileText(2));

    dialogs.saveAnswer.clear();
    QVERIFY(folder->write("exports/mine.pf", "kept"));
    view->saveProfile(2);
    QCOMPARE(folder->read("exports/mine.pf"), QByteArray("kept"));
}

void TestSettings::importKeepsSlotsInOrder()
{
    for (int slot = 0; slot < 4; ++slot)
        writeProfile(*folder, QStringLiteral("p%1.bin").arg(slot + 1), "color/color", palette(slot));
    writeProfile(*folder, "../../import.pf", "keydefine0/5", QVariantList{44, 0});
    writeProfile(*folder, "../../import.pf", "color/color", palette(99));
    newView();

    ScriptedDialogs dialogs;
    dialogs.answer = folder->path("import.pf");
    view->loadProfile(1);
    QCOMPARE(dialogs.opened.size(), 1);
    QCOMPARE(dialogs.opened.at(0).caption, QStringLiteral("Open File"));
    QCOMPARE(fileText(1), folder->read("import.pf"));

    for (int slot = 0; slot < 4; ++slot) {
        view->ui_21H_SetCurrentProfile(slot);
        QCOMPARE(texts(view->ui_B0H_GetColor()), texts(palette(slot == 1 ? 99 : slot)));
    }
    view->ui_21H_SetCurrentProfile(1);
    QCOMPARE(texts(view->getKeydefine(5)), QStringList({"44", "0"}));
    // Later writes go to the imported file, not to the file it replaced.
    view->ui_08H_SetLEDType(1, 2, 3, 4, 5, 6);
    view.reset();
    QVERIFY(fileText(1).contains("keydefine0]\n5=44, 0"));
    QVERIFY(fileText(1).contains("ledType=1, 2, 3, 4, 5, 6"));
}

void TestSettings::importOfSameSizeFileIsSeen()
{
    // The slot is written when the import releases it, and the import has
    // the same size: the settings cache must not take the new file for the
    // old one although both carry the same time stamp.
    view->ui_30H_SetColor(palette(10));
    view.reset();
    QByteArray other = fileText(0);
    other.replace("color=10,", "color=20,");
    QVERIFY(folder->write("same.pf", other));
    for (int round = 0; round < 20; ++round) {
        newView();
        view->ui_30H_SetColor(palette(10));
        ScriptedDialogs dialogs;
        dialogs.answer = folder->path("same.pf");
        view->loadProfile(0);
        QCOMPARE(view->ui_B0H_GetColor().value(0).toInt(), 20);
    }
}

void TestSettings::failedImportKeepsTheSlot_data()
{
    QTest::addColumn<QString>("source");
    QTest::newRow("missing file") << "nothing.pf";
    QTest::newRow("a folder") << "folder.pf";
    QTest::newRow("a FIFO") << "fifo.pf";
    QTest::newRow("too large") << "huge.pf";
}

void TestSettings::failedImportKeepsTheSlot()
{
    QFETCH(QString, source);
    QDir().mkpath(folder->path("folder.pf"));
    QCOMPARE(::mkfifo(QFile::encodeName(folder->path("fifo.pf")).constData(), 0600), 0);
    QVERIFY(folder->write("huge.pf", QByteArray(4 * 1024 * 1024 + 1, 'x')));
    view->ui_30H_SetColor(palette(5));

    ScriptedDialogs dialogs;
    dialogs.answer = folder->path(source);
    view->loadProfile(0);
    QCOMPARE(texts(view->ui_B0H_GetColor()), texts(palette(5)));
    view.reset();
    QVERIFY(fileText(0).contains("[color]\ncolor=5, 17,"));
    QCOMPARE(QDir(folder->path("modules/setting")).entryList(QDir::Files | QDir::Hidden),
             QStringList({"HWDef.bin", "p1.bin"}));
}

void TestSettings::resetCopiesDefaultOrKeepsSlot()
{
    view->ui_21H_SetCurrentProfile(3);
    view->ui_30H_SetColor(palette(5));
    // Without the shipped default the slot keeps what it has.
    view->resetProfile(3);
    QCOMPARE(texts(view->ui_B0H_GetColor()), texts(palette(5)));

    writeProfile(*folder, "pD.bin", "color/color", palette(1));
    view->resetProfile(3);
    QCOMPARE(texts(view->ui_B0H_GetColor()), texts(palette(1)));
    QCOMPARE(fileText(3), folder->read("modules/setting/pD.bin"));
    settle();
    // Nothing of the reset goes to the keyboard.
    QCOMPARE(commandsSent(), QList<int>({0x21, 0x30}));
}

void TestSettings::slotsOutsideRangeAreRefused()
{
    ScriptedDialogs dialogs;
    dialogs.answer = dialogs.saveAnswer = folder->path("x.pf");
    writeProfile(*folder, "pD.bin", "color/color", palette(1));
    for (int slot : {-1, 4, 1000}) {
        view->saveProfile(slot);
        view->loadProfile(slot);
        view->resetProfile(slot);
        view->ui_21H_SetCurrentProfile(slot);
    }
    QVERIFY(dialogs.opened.isEmpty() && dialogs.saved.isEmpty());
    QCOMPARE(view->ui_A1H_GetCurrentProfile().toInt(), 0);
    QVERIFY(q3emu::trace().empty());
    QCOMPARE(QDir(folder->path("modules/setting")).entryList(QDir::Files),
             QStringList({"HWDef.bin", "pD.bin"}));
}

void TestSettings::keyMatrixFollowsLayoutAndProfile()
{
    // Written under layout 0, the matrix is not there under layout 1.
    view->ui_0C0DH_SetKeyMatrix(keyMatrix());
    newView(1);
    QVERIFY(view->getKeydefine(4).isEmpty());
    QCOMPARE(view->ui_80H_GetHWMode().toInt(), 1);

    writeProfile(*folder, "p4.bin", "keydefine1/5", QVariantList{7, 64});
    writeProfile(*folder, "p4.bin", "keydefine0/5", QVariantList{1, 1});
    newView(1);
    view->ui_21H_SetCurrentProfile(3);
    QCOMPARE(texts(view->getKeydefine(5)), QStringList({"7", "64"}));
    QCOMPARE(texts(view->getKeydefine(QStringLiteral("5"))), QStringList({"7", "64"}));
    QVERIFY(view->getKeydefine(6).isEmpty());
}

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
