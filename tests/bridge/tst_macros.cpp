// The macro store end to end: macro files in the slot folders, their text
// lines, the byte stream and block, and what the emulated keyboard stores
// when a macro is bound.
#include "linkfixture.h"
#include "macrocodec.h"
#include "myquickview.h"
#include "programfolder.h"
#include "scripteddialogs.h"

#include <QDirIterator>
#include <QtTest>

#include <memory>

using q3emu::TraceEntry;

namespace {

const QString kPress = macrocodec::pressSuffix();
const QString kRelease = macrocodec::releaseSuffix();
const QString kDelay = macrocodec::delaySuffix();

QString hexOf(const QList<uchar> &bytes)
{
    QStringList parts;
    for (uchar b : bytes)
        parts << QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper();
    return parts.join(' ');
}

QString hexOf(const uint8_t *bytes, int n)
{
    QList<uchar> list;
    for (int k = 0; k < n; ++k)
        list << bytes[k];
    return hexOf(list);
}

QString zeros(int n)
{
    return QString(" 00").repeated(n);
}

// `steps` press or release lines of key A, alternating.
QStringList steps(int count)
{
    QStringList lines;
    for (int k = 0; k < count; ++k)
        lines << QStringLiteral("A") + (k % 2 ? kRelease : kPress);
    return lines;
}

// Every file under the program folder with its content, to prove that an
// operation touched nothing.
QMap<QString, QByteArray> snapshot(const QString &root)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile f(it.next());
        f.open(QIODevice::ReadOnly);
        files.insert(it.filePath(), f.readAll());
    }
    return files;
}

} // namespace

class TestMacros : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void encoding_data();
    void encoding();
    void longestMacroFitsAndLongerWarns();
    void deviceIdCountsTheProfile();
    void createTakesTheFirstFreeNumber();
    void saveResendsOnlyBoundMacros_data();
    void saveResendsOnlyBoundMacros();
    void linesKeepTheirArrowsAsQtEscapesThem();
    void bindingCountsOnlyOnItsDevice();
    void unboundMacroTakesTheLowestFreePlace();
    void allPlacesTakenRefusesWithAMessage();
    void deleteRenameAndNames();
    void importAndExport();
    void hostileNamesTouchNothing_data();
    void hostileNamesTouchNothing();

private:
    std::unique_ptr<ProgramFolder> folder;
    std::unique_ptr<Hid_Thread> link;
    std::unique_ptr<myQQuickView> view;

    void settle() { QVERIFY(fixture::waitUntilIdle(*link)); }
    QString macroFile(int slot, const QString &name)
    {
        return QStringLiteral("modules/macro%1/%2.bin").arg(slot).arg(name);
    }
    // Macro ids of the 10H commands the keyboard received, in order.
    QList<int> macroIdsSent()
    {
        QList<int> ids;
        for (const TraceEntry &e : fixture::traceOf(TraceEntry::Kind::FeatureSent))
            if (e.bytes.at(1) == 0x10)
                ids << e.bytes.at(3); // report id, code, 00, macro id
        return ids;
    }
};

void TestMacros::init()
{
    folder = std::make_unique<ProgramFolder>();
    folder->write("modules/setting/KeyCodeDef.bin",
                  "[0]\nusbStr=A, B, Esc, Right Shift\nusbCode=4, 5, 41, 229\n");
    folder->write("modules/i18n/lang_031000.ini", "[msg]\n0=Macro\n1=Too long\n");
    link = fixture::makeLink();
    view = std::make_unique<myQQuickView>();
    view->setHid(link.get());
    view->getGlobalStrings("031000");
    q3emu::clearTrace();
}

void TestMacros::cleanup()
{
    view.reset();
    link.reset();
    folder.reset();
}

void TestMacros::encoding_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("stream");
    QTest::addColumn<QString>("block");
    QTest::newRow("press, 100 ms, release")
        << QStringList{"A" + kPress, "100" + kDelay, "A" + kRelease} << "00 01 01 04 7F 00 00 0A 81 04 00 00"
        << "01 00 04 01 00 7F 0A 00 04 81 00 00" + zeros(116);
    QTest::newRow("2600 ms") << QStringList{"2600" + kDelay} << "00 01 7F 00 01 04 00 00"
                             << "01 00 00 7F 04 01 00 00" + zeros(120);
    QTest::newRow("9 ms keeps a zero count") << QStringList{"9" + kDelay} << "00 01 7F 00 00 00 00 00"
                                             << "01 00 00 7F 00 00 00 00" + zeros(120);
    QTest::newRow("empty") << QStringList{} << "00 01 00 00"
                           << "01 00 00 00" + zeros(124);
    // Imported files carry any number: no negative delay, no wrap-around.
    QTest::newRow("delays beyond the word")
        << QStringList{"-100" + kDelay, "655350" + kDelay, "700000" + kDelay, "2147483647" + kDelay}
        << "00 01 7F 00 FF FF 7F 00 FF FF 7F 00 FF FF 00 00"
        << "01 00 00 7F FF FF 00 7F FF FF 00 7F FF FF 00 00" + zeros(112);
    QTest::newRow("skipped: unknown key, 0 ms, other ending, short line")
        << QStringList{"Nope" + kPress, "0" + kDelay, "A       [x]", "A", "Right Shift" + kRelease}
        << "00 01 81 E5 00 00"
        << "01 00 E5 81 00 00" + zeros(122);
}

void TestMacros::encoding()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, stream);
    QFETCH(QString, block);
    const QList<uchar> encoded = view->macroIncode(lines);
    QCOMPARE(hexOf(encoded), stream);
    const auto b = macrocodec::block(encoded);
    QCOMPARE(hexOf(b.data(), int(b.size())), block);

    // The same macro bound as place 0 reaches the keyboard as that block.
    const QString name = view->createMacroIni().toString();
    QVERIFY(view->saveMacroIni(name, lines).toBool());
    view->ui_10H_SetMacroKey(0, name);
    settle();
    QCOMPARE(hexOf(q3emu::state().profiles[0].macros[0], 128), block);
}

void TestMacros::longestMacroFitsAndLongerWarns()
{
    ScriptedDialogs dialogs;
    const QString name = view->createMacroIni().toString();
    QCOMPARE(view->macroIncode(steps(62)).size(), 128);
    view->saveMacroIni(name, steps(62));
    view->ui_10H_SetMacroKey(1, name);
    settle();
    QVERIFY(dialogs.warnings.isEmpty());
    QCOMPARE(hexOf(q3emu::state().profiles[0].macros[1] + 120, 8), "04 81 04 01 04 81 00 00");

    view->saveMacroIni(name, steps(63));
    view->ui_10H_SetMacroKey(2, name);
    settle();
    QCOMPARE(dialogs.warnings.size(), 1);
    QVERIFY(!dialogs.warnings.at(0).parent);
    QCOMPARE(dialogs.warnings.at(0).title, QStringLiteral("Macro"));
    QCOMPARE(dialogs.warnings.at(0).text, QStringLiteral("Too long"));
    // The first 128 bytes go out: the end word is cut off.
    const q3emu::KeyboardState state = q3emu::state();
    const auto &stored = state.profiles[0].macros[2];
    QCOMPARE(hexOf(stored, 4), "01 00 04 01");
    QCOMPARE(hexOf(stored + 120, 8), "04 81 04 01 04 81 04 01");
}

void TestMacros::deviceIdCountsTheProfile()
{
    view->ui_21H_SetCurrentProfile(2);
    const QString name = view->createMacroIni().toString();
    QVERIFY(folder->exists(macroFile(2, name)));
    view->saveMacroIni(name, {"Esc" + kPress});
    view->ui_10H_SetMacroKey(5, name);
    settle();
    QCOMPARE(macroIdsSent(), QList<int>({69}));
    QCOMPARE(hexOf(q3emu::state().profiles[2].macros[5], 6), "01 00 29 01 00 00");
}

void TestMacros::createTakesTheFirstFreeNumber()
{
    QCOMPARE(view->createMacroIni().toString(), QStringLiteral("Macro. 001"));
    QCOMPARE(folder->read(macroFile(0, "Macro. 001")),
             QByteArray("[config]\ndid=-1\nindex=-1\nrepeat=1\ntotal=0\n"));
    QVERIFY(folder->write(macroFile(0, "Macro. 003"), "[config]\n"));
    QCOMPARE(view->createMacroIni().toString(), QStringLiteral("Macro. 002"));
    QCOMPARE(view->createMacroIni().toString(), QStringLiteral("Macro. 004"));
    QCOMPARE(view->loadMacroIniConfig("Macro. 002"), QVariantList({-1, 1}));
    QCOMPARE(view->loadMacroIni("Macro. 002"), QStringList());
}

void TestMacros::saveResendsOnlyBoundMacros_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("sent");
    QTest::newRow("0") << 0 << true;
    QTest::newRow("16") << 16 << true;
    QTest::newRow("17") << 17 << false;
    QTest::newRow("unbound") << -1 << false;
}

void TestMacros::saveResendsOnlyBoundMacros()
{
    QFETCH(int, index);
    QFETCH(bool, sent);
    const QString name = view->createMacroIni().toString();
    view->setMacroIniConfig(name, {index, 1});
    QVERIFY(view->saveMacroIni(name, {"B" + kPress, "B" + kRelease}).toBool());
    settle();
    QCOMPARE(macroIdsSent(), sent ? QList<int>({index}) : QList<int>());
    QCOMPARE(view->loadMacroIni(name), QStringList({"B" + kPress, "B" + kRelease}));
    QVERIFY(!view->saveMacroIni("Macro. 999", {"B" + kPress}).toBool());
    QVERIFY(!folder->exists(macroFile(0, "Macro. 999")));
}

void TestMacros::linesKeepTheirArrowsAsQtEscapesThem()
{
    const QString name = view->createMacroIni().toString();
    const QStringList lines{"Esc" + kPress, "250" + kDelay, "Esc" + kRelease, "a,b=c;d" + kPress};
    view->saveMacroIni(name, lines);
    const QByteArray text = folder->read(macroFile(0, name));
    QVERIFY2(text.contains("[macro]\n0=Esc       [\\x25bc]\n1=250      [ms]\n2=Esc       [\\x25b2]\n"
                           "3=\"a,b=c;d       [\\x25bc]\"\n"),
             text.constData());
    QVERIFY(text.contains("total=4\n"));
    QCOMPARE(view->loadMacroIni(name), lines);

    // Fewer lines leave no stale ones behind.
    view->saveMacroIni(name, lines.mid(0, 1));
    QCOMPARE(view->loadMacroIni(name), lines.mid(0, 1));
    QVERIFY(!folder->read(macroFile(0, name)).contains("1=250"));
}

void TestMacros::bindingCountsOnlyOnItsDevice()
{
    link = fixture::makeLink(q3emu::Scenario::KeyboardAndMouse);
    view->setHid(link.get());
    const QString name = view->createMacroIni().toString();
    view->setMacroIniConfig(name, {7, 2});
    QVERIFY(folder->read(macroFile(0, name)).contains("did=0\nindex=7\nrepeat=2\n"));
    QCOMPARE(view->loadMacroIniConfig(name), QVariantList({7, 2}));
    link->swichCurDevice(1);
    QCOMPARE(view->loadMacroIniConfig(name), QVariantList({-1, 2}));
    QCOMPARE(view->loadMacroIniConfig("Macro. 404"), QVariantList());
}

void TestMacros::unboundMacroTakesTheLowestFreePlace()
{
    for (int place : {0, 1, 3}) {
        const QString other = view->createMacroIni().toString();
        view->setMacroIniConfig(other, {place, 1});
    }
    // Place 2 is held only for another device: it does not count here.
    QVERIFY(folder->write(macroFile(0, "Mouse macro"), "[config]\nindex=2\ndid=1\n"));
    const QString name = view->createMacroIni().toString();
    view->saveMacroIni(name, {"A" + kPress});
    // The key page binds with the stored index, -1 for a new macro.
    view->setMacroIniConfig(name, view->loadMacroIniConfig(name));
    view->ui_10H_SetMacroKey(-1, name);
    settle();
    QCOMPARE(macroIdsSent(), QList<int>({2}));
    QCOMPARE(view->loadMacroIniConfig(name), QVariantList({2, 1}));
    // Bound now, it keeps its place.
    view->ui_10H_SetMacroKey(-1, name);
    settle();
    QCOMPARE(macroIdsSent(), QList<int>({2, 2}));
}

void TestMacros::allPlacesTakenRefusesWithAMessage()
{
    ScriptedDialogs dialogs;
    for (int place = 0; place < 17; ++place)
        QVERIFY(folder->write(macroFile(0, QStringLiteral("m%1").arg(place)),
                              QStringLiteral("[config]\nindex=%1\ndid=0\n").arg(place).toLatin1()));
    const QString name = view->createMacroIni().toString();
    view->ui_10H_SetMacroKey(-1, name);
    settle();
    QVERIFY(macroIdsSent().isEmpty());
    QCOMPARE(dialogs.warnings.size(), 1);
    QVERIFY(dialogs.warnings.at(0).text.contains("17"));
    QCOMPARE(view->loadMacroIniConfig(name), QVariantList({-1, 1}));
}

void TestMacros::deleteRenameAndNames()
{
    QVERIFY(view->getMacroIniNames().isEmpty()); // no folder yet
    view->createMacroIni();
    view->createMacroIni();
    QVERIFY(folder->write(macroFile(0, "alpha"), "[config]\n"));
    QVERIFY(folder->write(macroFile(0, "Zulu"), "[config]\n"));
    QVERIFY(folder->write("modules/macro0/notes.txt", ""));
    QCOMPARE(view->getMacroIniNames(),
             QStringList({"alpha.bin", "Macro. 001.bin", "Macro. 002.bin", "Zulu.bin"}));

    view->renameMacroIniFile("Macro. 001", "Zulu"); // taken: both stay
    QCOMPARE(folder->read(macroFile(0, "Zulu")), QByteArray("[config]\n"));
    view->renameMacroIniFile("Macro. 001", "Jump");
    QCOMPARE(view->getMacroIniNames(), QStringList({"alpha.bin", "Jump.bin", "Macro. 002.bin", "Zulu.bin"}));

    QVERIFY(view->deleteMacroIni("Jump").toBool());
    QVERIFY(!view->deleteMacroIni("Jump").toBool());
    // Another slot has its own folder.
    view->ui_21H_SetCurrentProfile(1);
    QVERIFY(view->getMacroIniNames().isEmpty());
    QVERIFY(!view->deleteMacroIni("alpha").toBool());
}

void TestMacros::importAndExport()
{
    ScriptedDialogs dialogs;
    const QString name = view->createMacroIni().toString();
    view->saveMacroIni(name, {"A" + kPress});
    const QByteArray original = folder->read(macroFile(0, name));

    // Export replaces what the user chose to overwrite, byte for byte.
    QVERIFY(folder->write("out/old.mc", "old"));
    dialogs.saveAnswer = folder->path("out/old.mc");
    view->saveMacroIniToFile(name);
    QCOMPARE(dialogs.saved.at(0).caption, QStringLiteral("Save File"));
    QCOMPARE(dialogs.saved.at(0).filter, QStringLiteral("Macro(*.mc)"));
    QCOMPARE(folder->read("out/old.mc"), original);

    // Import brings the lines and leaves the binding as it was: an unbound
    // macro stays unbound whatever place the file claims, and nothing is sent.
    QVERIFY(folder->write("in.mc",
                          "[config]\nindex=4\ndid=0\ntotal=1\nrepeat=3\n[macro]\n0=B       [\\x25bc]\n"));
    dialogs.answer = folder->path("in.mc");
    settle();
    q3emu::clearTrace();
    view->loadMacroIniFromFile(name);
    settle();
    QCOMPARE(dialogs.opened.at(0).caption, QStringLiteral("Open File"));
    QCOMPARE(view->loadMacroIni(name), QStringList({"B" + kPress}));
    QCOMPARE(view->loadMacroIniConfig(name), QVariantList({-1, 1}));
    QCOMPARE(macroIdsSent(), QList<int>());

    // A bound macro keeps its place and repeat mode, and the keyboard gets
    // the new lines there at once.
    view->setMacroIniConfig(name, {7, 2});
    q3emu::clearTrace();
    view->loadMacroIniFromFile(name);
    settle();
    QCOMPARE(view->loadMacroIni(name), QStringList({"B" + kPress}));
    QCOMPARE(view->loadMacroIniConfig(name), QVariantList({7, 2}));
    QCOMPARE(macroIdsSent(), QList<int>({7}));
    QCOMPARE(hexOf(q3emu::state().profiles[0].macros[7], 6), "01 00 05 01 00 00");

    const QByteArray beforeBroken = folder->read(macroFile(0, name));
    dialogs.answer = folder->path("missing.mc");
    view->loadMacroIniFromFile(name);
    QCOMPARE(folder->read(macroFile(0, name)), beforeBroken);
    view->setMacroIniConfig(name, {-1, 1});

    // A file that claims millions of lines is read with the first few
    // thousand, so the page is not flooded and a save stays small.
    QVERIFY(folder->write("huge.mc", "[config]\ntotal=170170\n[macro]\n4095=last\n4096=beyond\n"));
    dialogs.answer = folder->path("huge.mc");
    view->loadMacroIniFromFile(name);
    const QStringList lines = view->loadMacroIni(name);
    QCOMPARE(lines.size(), 4096);
    QCOMPARE(lines.last(), QStringLiteral("last"));
    dialogs.answer = folder->path("in.mc");
    view->loadMacroIniFromFile(name);

    // Nothing is imported over a macro that does not exist.
    dialogs.answer = folder->path("in.mc");
    view->loadMacroIniFromFile("Macro. 050");
    QVERIFY(!folder->exists(macroFile(0, "Macro. 050")));
}

void TestMacros::hostileNamesTouchNothing_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("empty") << "";
    QTest::newRow("dot") << ".";
    QTest::newRow("dot dot") << "..";
    QTest::newRow("hidden file") << ".macro";
    QTest::newRow("what the rename field leaves of ../x") << "..x";
    QTest::newRow("parent path") << "../../setting/secret";
    QTest::newRow("absolute") << "/tmp/secret";
    QTest::newRow("backslash") << "..\\secret";
    QTest::newRow("NUL") << QStringLiteral("secret") + QChar(0) + QStringLiteral("x");
    QTest::newRow("newline") << "sec\nret";
    QTest::newRow("escape") << "sec\x1bret";
}

void TestMacros::hostileNamesTouchNothing()
{
    QFETCH(QString, name);
    ScriptedDialogs dialogs;
    dialogs.answer = dialogs.saveAnswer = folder->path("chosen.mc");
    QVERIFY(folder->write("chosen.mc", "[config]\nindex=0\n"));
    QVERIFY(folder->write("modules/setting/secret.bin", "[config]\ntotal=1\n[macro]\n0=x\n"));
    const QString own = view->createMacroIni().toString();
    const auto before = snapshot(folder->root());

    QVERIFY(view->loadMacroIni(name).isEmpty());
    QVERIFY(view->loadMacroIniConfig(name).isEmpty());
    QVERIFY(!view->saveMacroIni(name, {"A" + kPress}).toBool());
    view->setMacroIniConfig(name, {1, 1});
    QVERIFY(!view->deleteMacroIni(name).toBool());
    view->renameMacroIniFile(own, name);
    view->renameMacroIniFile(name, own);
    view->ui_10H_SetMacroKey(0, name);
    view->loadMacroIniFromFile(name);
    view->saveMacroIniToFile(name);
    settle();

    QCOMPARE(snapshot(folder->root()), before);
    QVERIFY(dialogs.opened.isEmpty() && dialogs.saved.isEmpty());
    QVERIFY(macroIdsSent().isEmpty());
}

QTEST_MAIN(TestMacros)
#include "tst_macros.moc"
