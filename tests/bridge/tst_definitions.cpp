// The definition files as the view reads them: languages, key names and
// codes, key tables, and the custom picture through the dialog seam.
#include "definitions.h"
#include "linkfixture.h"
#include "myquickview.h"
#include "programfolder.h"
#include "scripteddialogs.h"

#include <QtTest>

#include <memory>
#include <sys/stat.h>

namespace {

QStringList keysOf(const QVariantMap &map)
{
    return map.keys();
}

// A hardware table file with sections [0] and [1].
const QByteArray kHardwareTable = "[0]\n"
                                  "total_HW=3\n"
                                  "total_FW=128\n"
                                  "1=10, 20, 1, Esc, 0, 41\n"
                                  "3=30, 40, 2, \xc3\x91, 5, 16385\n"
                                  "[1]\n"
                                  "total_HW=2\n"
                                  "total_FW=126\n"
                                  "1=11, 21, 3, A, 7, 4\n"
                                  "2=12, 22\n"
                                  "[9]\n"
                                  "total_HW=1000000000000\n";

} // namespace

class TestDefinitions : public QObject
{
    Q_OBJECT

private slots:
    void languageMenu_data();
    void languageMenu();
    void languageStrings_data();
    void languageStrings();
    void keyCodes_data();
    void keyCodes();
    void hardwareTable_data();
    void hardwareTable();
    void languageNameTable();
    void hardwareIndexNeverLeavesSettingFolder_data();
    void hardwareIndexNeverLeavesSettingFolder();
    void customPicture_data();
    void customPicture();
};

void TestDefinitions::languageMenu_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("codes");

    QTest::newRow("chinese variants and english")
        << QStringList{"lang_031000.ini", "lang_025208.ini", "lang_025044.ini"}
        << QStringList{"CHINESE (Simp)", "CHINESE (Trad)", "ENGLISH"}
        << QStringList{"025044", "025208", "031000"};
    QTest::newRow("other countries by name")
        << QStringList{"lang_111197.ini", "lang_031225.ini"}
        << QStringList{"ENGLISH (UNITED STATES)", "SPANISH (SPAIN)"} << QStringList{"031225", "111197"};
    QTest::newRow("only lang_*.ini files")
        << QStringList{"lang_031000.txt", "readme.ini", "xlang_025044.ini"} << QStringList{} << QStringList{};
    QTest::newRow("nonsense codes still listed")
        << QStringList{"lang_abc.ini", "lang_999999.ini"} << QStringList{"DEFAULT", "UNKNOWN (UNKNOWN)"}
        << QStringList{"abc.in", "999999"};
    QTest::newRow("no language files") << QStringList{} << QStringList{} << QStringList{};
}

void TestDefinitions::languageMenu()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, names);
    QFETCH(QStringList, codes);
    ProgramFolder folder;
    for (const QString &file : files)
        QVERIFY(folder.write("modules/i18n/" + file, "[font]\nfamily=Exo\n"));
    // A folder that matches the pattern is not a language.
    QDir().mkpath(folder.path("modules/i18n/lang_002000.ini"));

    myQQuickView view;
    const QVariantMap languages = view.chkLanguages();
    QCOMPARE(keysOf(languages), names);
    QStringList values;
    for (const QVariant &code : languages)
        values << code.toString();
    QCOMPARE(values, codes);
}

void TestDefinitions::languageStrings_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("strings");
    QTest::addColumn<QStringList>("messages");

    const QStringList noMessages{"", "", "", "", "", ""};
    QTest::newRow("three strings")
        << QByteArray("[font]\nfamily=Exo Medium\ntotal=3\n"
                      "[strings]\n1=Apply\n2=Reset\n3=Exit\n4=Unused\n"
                      "[msg]\n0=Macro\n1=Too long\n2=Picture\n3=\"Cannot open \"\n4=Full\n5=No place\n")
        << QStringList{"Exo Medium", "Apply", "Reset", "Exit"}
        << QStringList{"Macro", "Too long", "Picture", "Cannot open ", "Full", "No place"};
    QTest::newRow("utf-8 text") << QByteArray(
                                       "[font]\nfamily=\xe5\xbe\xae\xe8\xbd\xaf\xe9\x9b\x85\xe9\xbb\x91\n"
                                       "total=1\n[strings]\n1=\xe5\xba\x94\xe7\x94\xa8\n"
                                       "[msg]\n0=\xc3\x91\n")
                                << QStringList{QString::fromUtf8("微软雅黑"), QString::fromUtf8("应用")}
                                << QStringList{QString::fromUtf8("Ñ"), "", "", "", "", ""};
    QTest::newRow("missing strings read empty") << QByteArray("[font]\nfamily=F\ntotal=3\n[strings]\n2=Two\n")
                                                << QStringList{"F", "", "Two", ""} << noMessages;
    QTest::newRow("non-numeric total")
        << QByteArray("[font]\nfamily=F\ntotal=many\n[strings]\n1=One\n") << QStringList{"F"} << noMessages;
    QTest::newRow("negative total") << QByteArray("[font]\ntotal=-4\n[strings]\n1=One\n") << QStringList{""}
                                    << noMessages;
    QStringList capped{"F"};
    for (int i = 0; i < definitions::kMaxEntries; ++i)
        capped << QString();
    QTest::newRow("absurd total is capped")
        << QByteArray("[font]\nfamily=F\ntotal=4000000000\n") << capped << noMessages;
    QTest::newRow("missing file") << QByteArray() << QStringList{""} << noMessages;
}

void TestDefinitions::languageStrings()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, strings);
    QFETCH(QStringList, messages);
    ProgramFolder folder;
    if (!file.isNull())
        QVERIFY(folder.write("modules/i18n/lang_031000.ini", file));

    myQQuickView view;
    QCOMPARE(view.getGlobalStrings("031000"), strings);
    QCOMPARE(view.messageStrings(), messages);
}

void TestDefinitions::keyCodes_data()
{
    QTest::addColumn<QByteArray>("hardware");
    QTest::addColumn<QByteArray>("keyCodeDef");
    QTest::addColumn<int>("names");
    QTest::addColumn<int>("codes");
    QTest::addColumn<int>("entries");
    QTest::addColumn<QString>("probe");
    QTest::addColumn<int>("probeCode");

    const QByteArray layout0 = "[common]\nkbLayoutType=0\n";
    const QByteArray layout1 = "[common]\nkbLayoutType=1\n";
    const QByteArray twoLayouts = "[0]\nusbStr=A, B, C\nusbCode=4, 5, 6\n"
                                  "[1]\nusbStr=A, \xc3\x91, C, D\nusbCode=4, 51, 6, 7\n";
    QTest::newRow("layout 0 reads [0]") << layout0 << twoLayouts << 3 << 3 << 3 << "C" << 6;
    QTest::newRow("layout 1 reads [1]")
        << layout1 << twoLayouts << 4 << 4 << 4 << QString::fromUtf8("Ñ") << 51;
    QTest::newRow("no layout key reads [0]") << QByteArray() << twoLayouts << 3 << 3 << 3 << "A" << 4;

    QStringList hundred, ninetyEight;
    for (int i = 0; i < 100; ++i)
        hundred << QStringLiteral("K%1").arg(i);
    for (int i = 0; i < 98; ++i)
        ninetyEight << QString::number(i + 4);
    const QByteArray shorter =
        "[0]\nusbStr=" + hundred.join(", ").toUtf8() + "\nusbCode=" + ninetyEight.join(", ").toUtf8() + "\n";
    QTest::newRow("shorter code list decides") << layout0 << shorter << 100 << 98 << 98 << "K97" << 101;
    QTest::newRow("codes keep their low 8 bits")
        << layout0 << QByteArray("[0]\nusbStr=X, Y, Z\nusbCode=300, 256, 0x10\n") << 3 << 3 << 3 << "X" << 44;
    QTest::newRow("repeated name keeps last code")
        << layout0 << QByteArray("[0]\nusbStr=A, A\nusbCode=4, 9\n") << 2 << 2 << 1 << "A" << 9;
    QTest::newRow("one-item lists") << layout0 << QByteArray("[0]\nusbStr=Esc\nusbCode=41\n") << 1 << 1 << 1
                                    << "Esc" << 41;
    QTest::newRow("layout without lists")
        << layout1 << QByteArray("[0]\nusbStr=A\nusbCode=4\n") << 0 << 0 << 0 << "A" << -1;
    QTest::newRow("missing file") << layout0 << QByteArray() << 0 << 0 << 0 << "A" << -1;
}

void TestDefinitions::keyCodes()
{
    QFETCH(QByteArray, hardware);
    QFETCH(QByteArray, keyCodeDef);
    QFETCH(int, names);
    QFETCH(int, codes);
    QFETCH(int, entries);
    QFETCH(QString, probe);
    QFETCH(int, probeCode);
    ProgramFolder folder;
    if (!hardware.isNull())
        QVERIFY(folder.write("modules/setting/HWDef.bin", hardware));
    if (!keyCodeDef.isNull())
        QVERIFY(folder.write("modules/setting/KeyCodeDef.bin", keyCodeDef));

    myQQuickView view;
    QCOMPARE(view.loadUsbStr().size(), names);
    QCOMPARE(view.loadUsbCode().size(), codes);
    QCOMPARE(view.keyCodeMap().size(), entries);
    QCOMPARE(view.keyCodeMap().contains(probe), probeCode >= 0);
    if (probeCode >= 0)
        QCOMPARE(int(view.keyCodeMap().value(probe)), probeCode);
}

void TestDefinitions::hardwareTable_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<QVariantList>("expected");

    QTest::newRow("layout 0, row 2 missing")
        << 0 << QVariantList{3, 128,   10, 20, 1,  "Esc", 0,  41u, 0,
                             0, 0,     "", 0,  0u, 30,    40, 2,   QString::fromUtf8("Ñ"),
                             5, 16385u};
    QTest::newRow("layout 1, short row")
        << 1 << QVariantList{2, 126, 11, 21, 3, "A", 7, 4u, 12, 22, 0, "", 0, 0u};
    QTest::newRow("layout without section") << 2 << QVariantList{0, 0};
}

void TestDefinitions::hardwareTable()
{
    QFETCH(int, layout);
    QFETCH(QVariantList, expected);
    ProgramFolder folder;
    QVERIFY(folder.write("modules/setting/HWDef.bin",
                         QStringLiteral("[common]\nkbLayoutType=%1\n").arg(layout).toUtf8()));
    // Item 4 of the configuration list is the language index: table HWDef2.
    QVERIFY(folder.write("modules/setting/apConfig.bin", "[common]\ntotal=5\n0=1\n1=1\n2=0\n3=0\n4=2\n"));
    QVERIFY(folder.write("modules/setting/HWDef2.bin", kHardwareTable));

    myQQuickView view;
    fixture::DebugCapture debug;
    const QVariantList table = view.loadHWDef();
    QCOMPARE(table, expected);
    // Row i sits at items 2 + 6(i-1) .. 7 + 6(i-1), typed int, int, int,
    // text, int, uint.
    for (int item = 2; item < table.size(); ++item) {
        const int column = (item - 2) % 6;
        const int type = column == 3 ? QMetaType::QString : column == 5 ? QMetaType::UInt : QMetaType::Int;
        QCOMPARE(int(table.at(item).type()), type);
    }
    QVERIFY2(debug.count(QStringLiteral("test \"2\" %1").arg(layout)) == 1,
             qPrintable(debug.lines().join('\n')));
}

void TestDefinitions::languageNameTable()
{
    ProgramFolder folder;
    QVERIFY(folder.write("modules/setting/HWDef1.bin", kHardwareTable));

    myQQuickView view;
    fixture::DebugCapture debug;
    QCOMPARE(view.loadLangName(1), (QVariantList{2, 126, 11, 21, 3, "A", 7, 4u, 12, 22, 0, "", 0, 0u}));
    QCOMPARE(view.loadLangName(0).mid(0, 4), (QVariantList{3, 128, 10, 20}));
    QCOMPARE(view.loadLangName(7), (QVariantList{0, 0}));
    QCOMPARE(view.loadLangName(9).size(), 2 + 6 * definitions::kMaxTableRows);
    QCOMPARE(debug.count("test1 1"), 1);
    QCOMPARE(debug.count("test1 7"), 1);
}

void TestDefinitions::hardwareIndexNeverLeavesSettingFolder_data()
{
    QTest::addColumn<QByteArray>("apConfig");
    QTest::addColumn<int>("totalHW");

    QTest::newRow("digits") << QByteArray("[common]\ntotal=5\n4=7\n") << 3;
    QTest::newRow("no configuration") << QByteArray() << 0;
    QTest::newRow("list too short") << QByteArray("[common]\ntotal=4\n0=1\n") << 0;
    QTest::newRow("parent folders") << QByteArray("[common]\ntotal=5\n4=/../../outside\n") << 0;
    QTest::newRow("digits and letters") << QByteArray("[common]\ntotal=5\n4=7a\n") << 0;
    QTest::newRow("signed") << QByteArray("[common]\ntotal=5\n4=-7\n") << 0;
    QTest::newRow("empty") << QByteArray("[common]\ntotal=5\n4=\n") << 0;
}

void TestDefinitions::hardwareIndexNeverLeavesSettingFolder()
{
    QFETCH(QByteArray, apConfig);
    QFETCH(int, totalHW);
    ProgramFolder folder;
    if (!apConfig.isNull())
        QVERIFY(folder.write("modules/setting/apConfig.bin", apConfig));
    QVERIFY(folder.write("modules/setting/HWDef7.bin", kHardwareTable));
    // Tables that a path built from the index could reach.
    QVERIFY(folder.write("modules/setting/HWDef.bin", kHardwareTable));
    QVERIFY(folder.write("modules/setting/HWDef-7.bin", kHardwareTable));
    QVERIFY(folder.write("modules/outside.bin", kHardwareTable));
    QDir().mkpath(folder.path("modules/setting/HWDef"));

    myQQuickView view;
    QCOMPARE(view.loadHWDef().value(0).toInt(), totalHW);
}

void TestDefinitions::customPicture_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("languageLoaded");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("readable picture") << "pictures/own.png" << true << true;
    QTest::newRow("cancelled") << "" << true << false;
    QTest::newRow("missing file") << "pictures/gone.png" << true << false;
    QTest::newRow("missing file before any language") << "pictures/gone.png" << false << false;
    QTest::newRow("folder") << "pictures/folder.png" << true << false;
    QTest::newRow("fifo") << "pictures/fifo.png" << true << false;
}

void TestDefinitions::customPicture()
{
    QFETCH(QString, answer);
    QFETCH(bool, languageLoaded);
    QFETCH(bool, accepted);
    ProgramFolder folder;
    QVERIFY(folder.write("pictures/own.png", "\x89PNG"));
    QDir().mkpath(folder.path("pictures/folder.png"));
    QCOMPARE(::mkfifo(QFile::encodeName(folder.path("pictures/fifo.png")).constData(), 0600), 0);
    QVERIFY(folder.write("modules/i18n/lang_031000.ini",
                         "[msg]\n0=Macro\n1=Too long\n2=Picture\n3=\"Cannot open: \"\n"));
    const QString path = answer.isEmpty() ? QString() : folder.path(answer);

    ScriptedDialogs dialogs;
    dialogs.answer = path;
    myQQuickView view;
    if (languageLoaded)
        view.getGlobalStrings("031000");
    const QString picked = view.getCustomFilePath();

    QCOMPARE(dialogs.opened.size(), 1);
    QCOMPARE(dialogs.opened.at(0).parent, static_cast<QWidget *>(&view));
    QCOMPARE(dialogs.opened.at(0).caption, QStringLiteral("Open File"));
    QCOMPARE(dialogs.opened.at(0).filter, QStringLiteral("Image Files(*.png)"));
    QCOMPARE(picked, accepted ? path : QString());
    const bool warned = !accepted && !path.isEmpty();
    QCOMPARE(dialogs.warnings.size(), warned ? 1 : 0);
    if (warned) {
        QVERIFY(!dialogs.warnings.at(0).parent);
        QCOMPARE(dialogs.warnings.at(0).title, languageLoaded ? QStringLiteral("Picture") : QString());
        QCOMPARE(dialogs.warnings.at(0).text,
                 (languageLoaded ? QStringLiteral("Cannot open: ") : QString()) + path);
    }
}

QTEST_MAIN(TestDefinitions)
#include "tst_definitions.moc"
