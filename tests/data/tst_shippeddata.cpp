// The definition, configuration, profile and language files that ship in
// modules/, read from the source tree the way the program reads them, and
// checked for what the pages take for granted.
#include "definitions.h"
#include "keytables.h"
#include "myquickview.h"
#include "programfolder.h"

#include <QtTest>

#include <QDirIterator>
#include <QSet>

namespace {

const QString kModules = QStringLiteral(GEARPANEL_MODULES_DIR);
const QString kSetting = kModules + QStringLiteral("/setting");
const QString kI18n = kModules + QStringLiteral("/i18n");
const QString kKeyCodeDef = kSetting + QStringLiteral("/KeyCodeDef.bin");

constexpr int kMatrixPositions = 128;
constexpr int kRowItems = 6;
// Fn, then M1 to M4: the firmware acts on them, the key page locks them.
const QList<int> kProtected{89, 116, 117, 118, 119};
// The ANSI key above Enter, its ISO twin that only receives a copy of it,
// and the ISO key beside left Shift.
constexpr int kBackslashPosition = 45;
constexpr int kMirrorPosition = 61;
constexpr int kIsoShiftPosition = 83;

struct KeyRow {
    int x, y, type;
    QString label;
    int matrix;
    uint code;
};

QList<KeyRow> keyRows(const QVariantList &table)
{
    QList<KeyRow> rows;
    for (int i = 2; i + kRowItems <= table.size(); i += kRowItems)
        rows.append({table.at(i).toInt(), table.at(i + 1).toInt(), table.at(i + 2).toInt(),
                     table.at(i + 3).toString(), table.at(i + 4).toInt(), table.at(i + 5).toUInt()});
    return rows;
}

QVariantList hardwareTable(int language, int layout)
{
    return definitions::loadHardwareTable(definitions::hardwareTablePath(kSetting, QString::number(language)),
                                          QString::number(layout));
}

// Name -> usage of one layout of the key-code definition.
QMap<QString, uchar> keyNames(int layout)
{
    const QString section = QString::number(layout);
    return definitions::buildKeyCodes(
        definitions::loadList(kKeyCodeDef, section + QStringLiteral("/usbStr")),
        definitions::loadList(kKeyCodeDef, section + QStringLiteral("/usbCode")));
}

// Every usage the key capture can report, from its own tables.
QSet<int> captureUsages(bool hashTildeLayout)
{
    input::ScanToVirtualKey scanToVirtualKey;
    input::VirtualKeyToUsage virtualKeyToUsage;
    input::buildTables(hashTildeLayout, scanToVirtualKey, virtualKeyToUsage);
    QSet<int> usages;
    for (int virtualKey = 0; virtualKey < 256; ++virtualKey) {
        if (const uchar usage = virtualKeyToUsage.value(uchar(virtualKey)))
            usages.insert(usage);
    }
    return usages;
}

// The bytes Qt's INI writer makes of the same keys and values.
QByteArray rewrittenByQt(const QString &path)
{
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("copy.ini"));
    {
        const QSettings original(path, QSettings::IniFormat);
        QSettings rewritten(copy, QSettings::IniFormat);
        for (const QString &key : original.allKeys())
            rewritten.setValue(key, original.value(key));
    }
    QFile file(copy);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestShippedData : public QObject
{
    Q_OBJECT

private slots:
    void keyCodeLists_data();
    void keyCodeLists();
    void captureUsagesHaveNames_data();
    void captureUsagesHaveNames();
    void captureAgreesWithTheDrawing_data();
    void captureAgreesWithTheDrawing();
    void hardwareTables_data();
    void hardwareTables();
    void languageTablesDifferOnlyInLabels_data();
    void languageTablesDifferOnlyInLabels();
    void languageMenu();
    void languageTexts_data();
    void languageTexts();
    void textsAtTheirEntries_data();
    void textsAtTheirEntries();
    void defaultProfileMatrix_data();
    void defaultProfileMatrix();
    void defaultProfileLighting();
    void configurationAndFactoryCopy();
    void writtenAsQtWritesThem_data();
    void writtenAsQtWritesThem();
    void programFolderAsShipped();
};

void TestShippedData::keyCodeLists_data()
{
    QTest::addColumn<int>("layout");
    QTest::newRow("English") << 0;
    QTest::newRow("Spanish") << 1;
}

void TestShippedData::keyCodeLists()
{
    QFETCH(int, layout);
    const QString section = QString::number(layout);
    const QVariantList names = definitions::loadList(kKeyCodeDef, section + QStringLiteral("/usbStr"));
    const QVariantList codes = definitions::loadList(kKeyCodeDef, section + QStringLiteral("/usbCode"));
    QVERIFY(!names.isEmpty());
    QCOMPARE(names.size(), codes.size());

    QSet<QString> seenNames;
    QSet<uint> seenCodes;
    for (int i = 0; i < names.size(); ++i) {
        const QString name = names.at(i).toString();
        bool ok = false;
        const uint code = codes.at(i).toUInt(&ok);
        QVERIFY2(!name.isEmpty(), qPrintable(QStringLiteral("empty name at %1").arg(i)));
        QVERIFY2(!seenNames.contains(name), qPrintable(QStringLiteral("name '%1' twice").arg(name)));
        // Codes above one byte would be cut to their low byte by the reader.
        QVERIFY2(ok && code > 0 && code <= 0xFF, qPrintable(QStringLiteral("code of '%1'").arg(name)));
        QVERIFY2(!seenCodes.contains(code), qPrintable(QStringLiteral("code %1 named twice").arg(code)));
        seenNames.insert(name);
        seenCodes.insert(code);
    }
}

void TestShippedData::captureUsagesHaveNames_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<bool>("hashTildeLayout");
    // The capture keeps the flag it was installed with while the keyboard's
    // layout can change under it, so every pairing occurs.
    for (int layout : {0, 1}) {
        for (bool flag : {false, true})
            QTest::addRow("layout %d, %s", layout, flag ? "hash key" : "backslash key") << layout << flag;
    }
}

void TestShippedData::captureUsagesHaveNames()
{
    QFETCH(int, layout);
    QFETCH(bool, hashTildeLayout);
    QSet<int> named;
    for (uchar code : keyNames(layout))
        named.insert(code);
    const QSet<int> usages = captureUsages(hashTildeLayout);
    QVERIFY(!usages.isEmpty());
    for (int usage : usages)
        QVERIFY2(named.contains(usage),
                 qPrintable(QStringLiteral("usage 0x%1 has no name").arg(usage, 2, 16, QLatin1Char('0'))));
}

void TestShippedData::captureAgreesWithTheDrawing_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<int>("layout");
    for (int language : {0, 1}) {
        for (int layout : {0, 1})
            QTest::addRow("words %d, layout %d", language, layout) << language << layout;
    }
}

void TestShippedData::captureAgreesWithTheDrawing()
{
    // The key at scan code 0x2B is the one whose usage depends on the
    // layout: a recorded macro must name the key the drawing shows there, and
    // the lighting page finds the key by the code the capture reports.
    QFETCH(int, language);
    QFETCH(int, layout);
    input::ScanToVirtualKey scanToVirtualKey;
    input::VirtualKeyToUsage virtualKeyToUsage;
    input::buildTables(input::hashTildeLayoutFor(layout), scanToVirtualKey, virtualKeyToUsage);
    const int captured = virtualKeyToUsage.value(scanToVirtualKey.value(input::scanKey(0x2B, false)));
    int drawn = -1;
    for (const KeyRow &row : keyRows(hardwareTable(language, layout))) {
        if (row.matrix == kBackslashPosition)
            drawn = int(row.code);
    }
    QCOMPARE(captured, drawn);
    QVERIFY(keyNames(layout).values().contains(uchar(captured)));
}

void TestShippedData::hardwareTables_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<int>("layout");
    QTest::addColumn<int>("keys");
    QTest::newRow("English words, English keyboard") << 0 << 0 << 108;
    QTest::newRow("English words, Spanish keyboard") << 0 << 1 << 109;
    QTest::newRow("Spanish words, English keyboard") << 1 << 0 << 108;
    QTest::newRow("Spanish words, Spanish keyboard") << 1 << 1 << 109;
}

void TestShippedData::hardwareTables()
{
    QFETCH(int, language);
    QFETCH(int, layout);
    QFETCH(int, keys);
    const QString path = definitions::hardwareTablePath(kSetting, QString::number(language));
    const QVariantList table = hardwareTable(language, layout);
    QCOMPARE(table.value(0).toInt(), keys);
    QCOMPARE(table.value(1).toInt(), kMatrixPositions);

    // The reader pads short rows, so their length is checked in the file.
    for (int i = 1; i <= keys; ++i) {
        const QVariantList raw = definitions::loadList(path, QStringLiteral("%1/%2").arg(layout).arg(i));
        QVERIFY2(raw.size() == kRowItems,
                 qPrintable(QStringLiteral("row %1 has %2 items").arg(i).arg(raw.size())));
    }

    const QMap<QString, uchar> names = keyNames(layout);
    QSet<uchar> namedCodes;
    for (uchar code : names)
        namedCodes.insert(code);
    QSet<int> positions;
    QSet<QPair<int, int>> places;
    for (const KeyRow &row : keyRows(table)) {
        const QString where = QStringLiteral("position %1 ('%2')").arg(row.matrix).arg(row.label);
        QVERIFY2(row.matrix >= 0 && row.matrix < kMatrixPositions, qPrintable(where));
        QVERIFY2(!positions.contains(row.matrix), qPrintable(where + QStringLiteral(" twice")));
        QVERIFY2(!places.contains({row.x, row.y}),
                 qPrintable(where + QStringLiteral(" drawn over another key")));
        QVERIFY2(!row.label.isEmpty(), qPrintable(where));
        positions.insert(row.matrix);
        places.insert({row.x, row.y});
        if (kProtected.contains(row.matrix)) {
            QVERIFY2(row.code == 0, qPrintable(where));
        } else {
            // Only plain keys: a key dragged onto the key field must give a
            // standard key code, and the lighting page finds keys by usage.
            QVERIFY2(row.code > 0 && row.code <= 0xFF && namedCodes.contains(uchar(row.code)),
                     qPrintable(where + QStringLiteral(": code %1 has no name").arg(row.code)));
            QVERIFY2(row.type > 0, qPrintable(where + QStringLiteral(" is not drawn")));
        }
    }
    for (int p : kProtected)
        QVERIFY2(positions.contains(p), qPrintable(QStringLiteral("protected key %1 missing").arg(p)));
    QVERIFY(positions.contains(kBackslashPosition));
    QVERIFY2(!positions.contains(kMirrorPosition),
             "61 only receives 45's code: a key there cannot be changed");
    QCOMPARE(positions.contains(kIsoShiftPosition), layout == 1);
}

void TestShippedData::languageTablesDifferOnlyInLabels_data()
{
    QTest::addColumn<int>("layout");
    QTest::newRow("English keyboard") << 0;
    QTest::newRow("Spanish keyboard") << 1;
}

void TestShippedData::languageTablesDifferOnlyInLabels()
{
    QFETCH(int, layout);
    const QVariantList english = hardwareTable(0, layout);
    const QVariantList spanish = hardwareTable(1, layout);
    QCOMPARE(spanish.size(), english.size());
    QCOMPARE(spanish.mid(0, 2), english.mid(0, 2));
    for (int i = 2; i < english.size(); ++i) {
        const int item = (i - 2) % kRowItems;
        if (item == 3)
            continue;
        QVERIFY2(english.at(i) == spanish.at(i),
                 qPrintable(QStringLiteral("row %1 item %2").arg((i - 2) / kRowItems + 1).arg(item)));
    }
}

void TestShippedData::languageMenu()
{
    // The menu index is stored as the language and picks HWDef<index>.bin;
    // ALL RESET sets it to the keyboard layout, so English must come first.
    const QVariantMap languages = definitions::listLanguages(kI18n);
    QCOMPARE(languages.keys(), (QStringList{"ENGLISH", "SPANISH"}));
    QCOMPARE(languages.value("ENGLISH").toString(), QStringLiteral("031000"));
    QCOMPARE(languages.value("SPANISH").toString(), QStringLiteral("111000"));
    for (int index = 0; index < languages.size(); ++index) {
        for (int layout : {0, 1})
            QCOMPARE(hardwareTable(index, layout).value(1).toInt(), kMatrixPositions);
    }
}

void TestShippedData::languageTexts_data()
{
    QTest::addColumn<QString>("code");
    QTest::newRow("English") << QStringLiteral("031000");
    QTest::newRow("Spanish") << QStringLiteral("111000");
}

void TestShippedData::languageTexts()
{
    QFETCH(QString, code);
    const definitions::LanguageStrings strings =
        definitions::loadLanguage(kI18n + QStringLiteral("/lang_") + code + QStringLiteral(".ini"));
    QCOMPARE(strings.ui.size(), 125);
    QCOMPARE(strings.ui.at(0), QStringLiteral("Exo"));
    // Every entry up to the macro page's words (116 to 120) has a text in
    // every language; the entries after them are free.
    for (int i = 1; i <= 120; ++i)
        QVERIFY2(!strings.ui.at(i).isEmpty(), qPrintable(QStringLiteral("entry %1").arg(i)));
    QVERIFY(strings.messages.size() >= 4);
    for (int i = 0; i < strings.messages.size(); ++i)
        QVERIFY2(!strings.messages.at(i).isEmpty(), qPrintable(QStringLiteral("msg/%1").arg(i)));
    // The picture warning appends the path to msg/3.
    QVERIFY(strings.messages.at(3).endsWith(QLatin1Char(' ')));
}

void TestShippedData::textsAtTheirEntries_data()
{
    // The pages address texts by number, so a line lost or added shifts
    // every label after it.
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("entry");
    QTest::addColumn<QString>("text");
    const struct {
        int entry;
        const char *english, *spanish;
    } samples[] = {{1, "OPTIONS", "OPCIONES"},
                   {13, "STATIC", "ESTÁTICO"},
                   {39, "SKIN 1", "APARIENCIA 1"},
                   {56, "NEXT TRACK", "PISTA SIGUIENTE"},
                   {74, "KEY", "TECLA"},
                   {107, "APPLY", "APLICAR"},
                   {113, "ALL RESET", "RESTABLECER TODO"},
                   {115, "RECORD", "GRABAR"},
                   {116, "NEW MACRO", "NUEVA MACRO"},
                   {120, "ADD", "AÑADIR"}};
    for (const auto &s : samples) {
        QTest::addRow("English %d", s.entry)
            << QStringLiteral("031000") << s.entry << QString::fromUtf8(s.english);
        QTest::addRow("Spanish %d", s.entry)
            << QStringLiteral("111000") << s.entry << QString::fromUtf8(s.spanish);
    }
}

void TestShippedData::textsAtTheirEntries()
{
    QFETCH(QString, code);
    QFETCH(int, entry);
    QFETCH(QString, text);
    const QStringList ui =
        definitions::loadLanguage(kI18n + QStringLiteral("/lang_") + code + QStringLiteral(".ini")).ui;
    QCOMPARE(ui.value(entry), text);
}

void TestShippedData::defaultProfileMatrix_data()
{
    QTest::addColumn<int>("layout");
    QTest::newRow("English") << 0;
    QTest::newRow("Spanish") << 1;
}

void TestShippedData::defaultProfileMatrix()
{
    // Read as the profile store reads "keydefine<layout>/<position>": a list
    // of low byte and high byte, as text.
    QFETCH(int, layout);
    QMap<int, uint> defaults;
    for (const KeyRow &row : keyRows(hardwareTable(0, layout)))
        defaults.insert(row.matrix, row.code);
    defaults.insert(kMirrorPosition, defaults.value(kBackslashPosition));

    const QSettings profile(kSetting + QStringLiteral("/pD.bin"), QSettings::IniFormat);
    for (int p = 0; p < kMatrixPositions; ++p) {
        const QVariantList bytes =
            definitions::asList(profile.value(QStringLiteral("keydefine%1/%2").arg(layout).arg(p)));
        QVERIFY2(bytes.size() == 2, qPrintable(QStringLiteral("position %1").arg(p)));
        const uint code = (bytes.at(0).toUInt() & 0xFF) | ((bytes.at(1).toUInt() << 8) & 0xFF00);
        QVERIFY2(
            code == defaults.value(p, 0),
            qPrintable(
                QStringLiteral("position %1 holds %2, its key %3").arg(p).arg(code).arg(defaults.value(p))));
    }
    QVERIFY(!profile.contains(QStringLiteral("keydefine%1/%2").arg(layout).arg(kMatrixPositions)));
}

void TestShippedData::defaultProfileLighting()
{
    const QSettings profile(kSetting + QStringLiteral("/pD.bin"), QSettings::IniFormat);
    const struct {
        QString key;
        int size;
    } lists[] = {{QStringLiteral("color/ledType"), 6},   {QStringLiteral("color/color"), 21},
                 {QStringLiteral("userPicture/0"), 384}, {QStringLiteral("userPicture/1"), 384},
                 {QStringLiteral("userPicture/2"), 384}, {QStringLiteral("userPicture/3"), 384},
                 {QStringLiteral("userPicture/4"), 384}};
    for (const auto &list : lists) {
        const QVariantList values = definitions::asList(profile.value(list.key));
        QVERIFY2(values.size() == list.size, qPrintable(list.key));
        for (const QVariant &v : values) {
            bool ok = false;
            const int n = v.toInt(&ok);
            QVERIFY2(ok && n >= 0 && n <= 255, qPrintable(list.key));
            if (list.key.startsWith(QLatin1String("userPicture")))
                QCOMPARE(n, 0);
        }
    }
    // Brightness is kept on the device's scale, 0 to 63.
    QVERIFY(profile.value(QStringLiteral("color/ledType")).toList().value(1).toInt() <= 63);
    QVERIFY(!profile.contains(QStringLiteral("userPicture/5")));
}

void TestShippedData::configurationAndFactoryCopy()
{
    const QSettings config(kSetting + QStringLiteral("/apConfig.bin"), QSettings::IniFormat);
    const QSettings factory(kSetting + QStringLiteral("/apConfigD.bin"), QSettings::IniFormat);
    QCOMPARE(config.allKeys(), factory.allKeys());
    for (const QString &key : config.allKeys())
        QVERIFY2(config.value(key) == factory.value(key), qPrintable(key));

    QCOMPARE(config.value(QStringLiteral("common/total")).toInt(), 32);
    for (int i = 0; i < 32; ++i)
        QVERIFY2(config.contains(QStringLiteral("common/%1").arg(i)), qPrintable(QString::number(i)));
    QVERIFY(!config.value(QStringLiteral("common/name")).toString().isEmpty());

    // One display name per device that discovery reads from the description.
    const QSettings devices(kModules + QStringLiteral("/qml/DevInfo.ini"), QSettings::IniFormat);
    const QStringList products = config.value(QStringLiteral("common/product_name")).toStringList();
    QCOMPARE(products.size(), devices.value(QStringLiteral("common/total")).toInt());
    for (const QString &name : products)
        QVERIFY(!name.trimmed().isEmpty());

    const int language = config.value(QStringLiteral("common/4")).toInt();
    QVERIFY(language >= 0 && language < definitions::listLanguages(kI18n).size());
}

void TestShippedData::writtenAsQtWritesThem_data()
{
    // The program rewrites these files with QSettings and no codec; anything
    // Qt would write differently shows up as noise in the user's copies.
    QTest::addColumn<QString>("file");
    QTest::newRow("default profile") << QStringLiteral("pD.bin");
    QTest::newRow("configuration") << QStringLiteral("apConfig.bin");
    QTest::newRow("factory configuration") << QStringLiteral("apConfigD.bin");
}

void TestShippedData::writtenAsQtWritesThem()
{
    QFETCH(QString, file);
    const QString path = kSetting + QLatin1Char('/') + file;
    const QByteArray shipped = contents(path);
    QVERIFY(!shipped.isEmpty());
    QCOMPARE(rewrittenByQt(path), shipped);
}

void TestShippedData::programFolderAsShipped()
{
    // The view on a program folder holding exactly what ships: layout from
    // HWDef.bin, the language index of the configuration picking its table.
    ProgramFolder folder;
    QVERIFY(folder.isValid());
    for (const QString &sub : {QStringLiteral("setting"), QStringLiteral("i18n")}) {
        QDirIterator it(kModules + QLatin1Char('/') + sub, QDir::Files);
        while (it.hasNext()) {
            const QString source = it.next();
            QVERIFY(folder.write(QStringLiteral("modules/%1/%2").arg(sub, it.fileName()), contents(source)));
        }
    }
    myQQuickView view;
    QCOMPARE(int(view.keyboardLayout()), 0);
    QCOMPARE(view.keyCodeMap().size(), view.loadUsbStr().size());
    const QVariantList config = view.loadApConfig();
    QCOMPARE(config.size(), 32);
    const QVariantList table = view.loadHWDef();
    QCOMPARE(table.value(0).toInt(), 108);
    QCOMPARE(table.value(1).toInt(), kMatrixPositions);
    const QVariantMap languages = view.chkLanguages();
    const QString code = languages.values().value(config.value(4).toInt()).toString();
    QCOMPARE(view.getGlobalStrings(code).size(), 125);
    QVERIFY(!view.messageStrings().value(0).isEmpty());

    view.resetApconfig();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(view.loadApConfig(), config);

    // A slot reset to the default profile reads every position of the
    // current layout back through the profile store.
    view.resetProfile(0);
    for (int p = 0; p < kMatrixPositions; ++p)
        QVERIFY2(view.getKeydefine(p).size() == 2, qPrintable(QString::number(p)));
    QCOMPARE(view.getKeydefine(kBackslashPosition), (QVariantList{"49", "0"}));
    QCOMPARE(view.getKeydefine(kMirrorPosition), view.getKeydefine(kBackslashPosition));
}

QTEST_MAIN(TestShippedData)
#include "tst_shippeddata.moc"
