// The macro page in the real window on the emulated keyboard, with the
// program's own desktop-wide key capture and real X key and pointer events:
// macros created, recorded, edited and deleted on a fresh program folder,
// what a bound macro sends, where a recording stops, refused renames,
// import and export through the dialog seam, and the list following every
// kind of profile change. Each step is checked in the macro files and in
// what the emulated keyboard holds.
#include "guiharness.h"
#include "linkfixture.h"
#include "scripteddialogs.h"

#include "inputhooks.h"
#include "keytables.h"
#include "macrocodec.h"
#include "myquickview.h"
#include "ui_controler.h"
#include "widget.h"

#include <QDirIterator>
#include <QJSValue>
#include <QPointer>
#include <QQuickItem>
#include <QSet>
#include <QSettings>
#include <QtTest>

using guitest::GuiWindow;

namespace {

const QString kPress = macrocodec::pressSuffix();
const QString kRelease = macrocodec::releaseSuffix();
const QString kDelay = macrocodec::delaySuffix();

void forwardKey(uint8_t usage, bool isDown, void *window)
{
    if (auto *w = static_cast<Widget *>(window))
        w->uiController()->quickView()->detectKeyboard(isDown, usage);
}

void collectNamed(QObject *object, const QString &name, QList<QQuickItem *> &found, QSet<QObject *> &seen)
{
    if (!object || seen.contains(object))
        return;
    seen.insert(object);
    auto *item = qobject_cast<QQuickItem *>(object);
    if (item && object->objectName() == name)
        found.append(item);
    if (item) {
        for (QQuickItem *child : item->childItems())
            collectNamed(child, name, found, seen);
    }
    for (QObject *child : object->children())
        collectNamed(child, name, found, seen);
}

// Every file under `root` with its bytes.
QMap<QString, QByteArray> snapshot(const QString &root)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile f(it.next());
        if (f.open(QIODevice::ReadOnly))
            files.insert(it.filePath(), f.readAll());
    }
    return files;
}

QString hexOf(const uint8_t *bytes, int n)
{
    QStringList parts;
    for (int k = 0; k < n; ++k)
        parts << QStringLiteral("%1").arg(bytes[k], 2, 16, QLatin1Char('0')).toUpper();
    return parts.join(QLatin1Char(' '));
}

} // namespace

class tst_GuiMacroPage : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void recordCreateAndDeleteOnAFreshFolder();
    void editingSteps();
    void spanishRowsStoredInEnglish();
    void boundMacroSentAgain();
    void recordingBounds();
    void refusedRenames();
    void importAndExport();
    void listFollowsProfileChanges();

private:
    QQuickItem *page() const
    {
        if (!macroPage) {
            QList<QQuickItem *> found;
            QSet<QObject *> seen;
            collectNamed(gui->root(), QStringLiteral("macroPage"), found, seen);
            macroPage = found.value(0);
        }
        return macroPage;
    }
    QQuickItem *item(const QString &name) const
    {
        QList<QQuickItem *> found;
        QSet<QObject *> seen;
        collectNamed(page(), name, found, seen);
        for (QQuickItem *candidate : found) {
            if (candidate->isVisible())
                return candidate;
        }
        return found.value(0);
    }
    QQuickItem *item(const char *name) const { return item(QString::fromLatin1(name)); }
    // Rows of the lists are made once the views lay out again.
    bool click(const char *name)
    {
        static_cast<void>(QTest::qWaitFor([&] { return item(name) != nullptr; }, 2000));
        return gui->click(item(name)) && gui->waitForAnimations();
    }
    bool start(q3emu::KeyboardState state = q3emu::factoryState());
    bool openMacroPage();
    bool closeMacroPage();
    bool chooseFile(int row);
    bool settle() { return gui->waitUntilIdle() && fixture::waitUntilIdle(gui->window()->link()); }
    QVariant call(const char *function);
    // What the lists hold: the lines as the page would save them, the texts
    // of a list model's rows, and the file names.
    QStringList lines() { return call("getAllMacroActions").toStringList(); }
    QStringList texts(const char *model);
    QStringList fileNames() { return texts("fileModel"); }
    bool recording() const { return page() && page()->property("isRecordStart").toBool(); }
    QString macroPath(int slot, const QString &name) const
    {
        return gui->folder().path(QStringLiteral("modules/macro%1/%2.bin").arg(slot).arg(name));
    }
    QStringList fileLines(int slot, const QString &name) const
    {
        const QSettings file(macroPath(slot, name), QSettings::IniFormat);
        QStringList out;
        for (int i = 0; i < file.value(QStringLiteral("config/total")).toInt(); ++i)
            out << file.value(QStringLiteral("macro/%1").arg(i)).toString();
        return out;
    }
    // A macro file in slot `slot`, written as the view writes one.
    void writeMacro(int slot, const QString &name, const QStringList &lines, int index = -1);
    QString typeKeys(const QString &text);

    std::unique_ptr<GuiWindow> gui;
    std::unique_ptr<InputHooks> hooks;
    mutable QPointer<QQuickItem> macroPage;
};

void tst_GuiMacroPage::init()
{
    gui = std::make_unique<GuiWindow>();
}

void tst_GuiMacroPage::cleanup()
{
    if (hooks)
        hooks->uninstall();
    InputHooks::setKeyboardHandler(nullptr, nullptr);
    hooks.reset();
    macroPage.clear();
    gui.reset();
}

bool tst_GuiMacroPage::start(q3emu::KeyboardState state)
{
    if (!gui->start(state))
        return false;
    // The program's own capture, installed as start-up installs it.
    hooks = std::make_unique<InputHooks>();
    if (!hooks->install(input::hashTildeLayoutFor(gui->view()->keyboardLayout()))) {
        qWarning("no key capture on this X server");
        return false;
    }
    InputHooks::setKeyboardHandler(forwardKey, gui->window());
    return true;
}

bool tst_GuiMacroPage::openMacroPage()
{
    if (!gui->click(gui->itemByName(QStringLiteral("funcButton1"))) || !gui->waitForAnimations())
        return false;
    if (!QTest::qWaitFor([this] { return page() && gui->isShown(page()); }, 5000)) {
        qWarning("the macro page is not shown after the MACRO entry");
        return false;
    }
    return gui->waitForAnimations();
}

bool tst_GuiMacroPage::closeMacroPage()
{
    return gui->click(gui->itemByName(QStringLiteral("funcButton1"))) && gui->waitForAnimations();
}

bool tst_GuiMacroPage::chooseFile(int row)
{
    const QString name = QStringLiteral("macroFileList_item%1").arg(row);
    static_cast<void>(QTest::qWaitFor([&] { return item(name) != nullptr; }, 2000));
    QObject *list = item("macroFileList_view");
    if (!list)
        return false;
    // A click on the chosen file would let it go.
    if (list->property("currentIndex").toInt() != row && !gui->click(item(name)))
        return false;
    return list->property("currentIndex").toInt() == row;
}

QVariant tst_GuiMacroPage::call(const char *function)
{
    QVariant result;
    if (!page() || !QMetaObject::invokeMethod(page(), function, Q_RETURN_ARG(QVariant, result)))
        return QVariant();
    if (result.userType() == qMetaTypeId<QJSValue>())
        return result.value<QJSValue>().toVariant();
    return result;
}

QStringList tst_GuiMacroPage::texts(const char *model)
{
    QStringList out;
    QObject *list = page() ? page()->property(model).value<QObject *>() : nullptr;
    for (int i = 0; list && i < list->property("count").toInt(); ++i) {
        QJSValue row;
        QMetaObject::invokeMethod(list, "get", Q_RETURN_ARG(QJSValue, row), Q_ARG(int, i));
        out << row.property(QStringLiteral("textX")).toString();
    }
    return out;
}

void tst_GuiMacroPage::writeMacro(int slot, const QString &name, const QStringList &lines, int index)
{
    QSettings file(macroPath(slot, name), QSettings::IniFormat);
    file.setValue(QStringLiteral("config/index"), index);
    file.setValue(QStringLiteral("config/total"), lines.size());
    file.setValue(QStringLiteral("config/repeat"), 1);
    file.setValue(QStringLiteral("config/did"), index >= 0 ? 0 : -1);
    for (int i = 0; i < lines.size(); ++i)
        file.setValue(QStringLiteral("macro/%1").arg(i), lines.at(i));
}

void tst_GuiMacroPage::recordCreateAndDeleteOnAFreshFolder()
{
    QVERIFY(start());
    QCOMPARE(QDir(gui->folder().path(QStringLiteral("modules/macro0"))).entryList(QDir::Files), QStringList());
    QVERIFY(openMacroPage());
    QCOMPARE(fileNames(), QStringList());
    QVERIFY(!item("recordButton")->isEnabled());

    QVERIFY(click("newMacroButton"));
    QVERIFY(QFileInfo::exists(macroPath(0, QStringLiteral("Macro. 001"))));
    QTRY_COMPARE(fileNames(), QStringList({QStringLiteral("Macro. 001")}));
    QCOMPARE(call("getCurrentMacroName").toString(), QStringLiteral("Macro. 001"));

    QVERIFY(click("recordButton"));
    QVERIFY(recording());
    QVERIFY(gui->typeText(QStringLiteral("a")));
    QTRY_COMPARE(lines().size(), 2);
    QVERIFY(click("stopButton"));
    QVERIFY(!recording());
    const QStringList expected{QStringLiteral("A") + kPress, QStringLiteral("A") + kRelease};
    QCOMPARE(lines(), expected);
    QCOMPARE(fileLines(0, QStringLiteral("Macro. 001")), expected);
    QCOMPARE(gui->view()->loadMacroIni(QStringLiteral("Macro. 001")), expected);

    // The key page's macro list follows.
    QVERIFY(click("newMacroButton"));
    QTRY_COMPARE(fileNames().size(), 2);
    QList<QQuickItem *> found;
    QSet<QObject *> seen;
    collectNamed(gui->root(), QStringLiteral("keyPage"), found, seen);
    if (!found.isEmpty())
        QCOMPARE(found.first()->property("macroNames").toStringList(),
                 QStringList({QStringLiteral("Macro. 001"), QStringLiteral("Macro. 002")}));

    QVERIFY(chooseFile(0));
    QVERIFY(click("deleteMacroButton"));
    QVERIFY(!QFileInfo::exists(macroPath(0, QStringLiteral("Macro. 001"))));
    QTRY_COMPARE(fileNames(), QStringList({QStringLiteral("Macro. 002")}));
    QCOMPARE(lines(), QStringList());
    if (!found.isEmpty())
        QCOMPARE(found.first()->property("macroNames").toStringList(), QStringList({QStringLiteral("Macro. 002")}));
}

void tst_GuiMacroPage::editingSteps()
{
    const QString b = QStringLiteral("B");
    writeMacro(0, QStringLiteral("Steps"), {b + kPress, QStringLiteral("100") + kDelay, b + kRelease});
    QVERIFY(start());
    QVERIFY(openMacroPage());
    QVERIFY(chooseFile(0));
    QCOMPARE(lines().size(), 3);

    // A key added with row 2 chosen: its press and release at 2 and 3, the
    // chosen row moved to 4.
    QVERIFY(click("macroActionList_item1"));
    QVERIFY(click("keyField"));
    QVERIFY(item("keyField")->property("isSelect").toBool());
    QVERIFY(gui->typeText(QStringLiteral("a")));
    QTRY_VERIFY(!item("keyField")->property("isSelect").toBool());
    QCOMPARE(item("keyField")->property("tmpKeycodeUSB").toInt(), 4);
    QVERIFY(click("addKeyButton"));
    const QString a = QStringLiteral("A");
    QStringList expected{b + kPress, a + kPress, a + kRelease, QStringLiteral("100") + kDelay, b + kRelease};
    QCOMPARE(lines(), expected);
    QCOMPARE(item("macroActionList")->property("currentIndex").toInt(), 3);
    QCOMPARE(fileLines(0, QStringLiteral("Steps")), expected);

    // 5 in the delay field and Enter gives 10.
    QQuickItem *field = item("delayField");
    QVERIFY(gui->click(field));
    QTRY_VERIFY(field->hasActiveFocus());
    QMetaObject::invokeMethod(field, "selectAll");
    QVERIFY(gui->typeText(QStringLiteral("5\n")));
    QCOMPARE(page()->property("delayValue").toInt(), 10);
    QCOMPARE(field->property("text").toString(), QStringLiteral("10"));
    QVERIFY(click("macroActionList_item3"));
    QVERIFY(click("addDelayButton"));
    expected.append(QStringLiteral("10") + kDelay);
    QCOMPARE(fileLines(0, QStringLiteral("Steps")), expected);

    // Cut, then paste twice: one paste.
    QVERIFY(click("macroActionList_item0"));
    QVERIFY(click("cutButton"));
    expected.removeFirst();
    QCOMPARE(fileLines(0, QStringLiteral("Steps")), expected);
    QVERIFY(click("pasteButton"));
    QVERIFY(!item("pasteButton")->isEnabled());
    QVERIFY(gui->click(item("pasteButton")));
    expected.append(b + kPress);
    QCOMPARE(fileLines(0, QStringLiteral("Steps")), expected);

    // Copy, then paste twice: two.
    QVERIFY(click("macroActionList_item0"));
    QVERIFY(click("copyButton"));
    QVERIFY(click("macroActionList_item0"));
    QVERIFY(click("pasteButton"));
    QVERIFY(click("pasteButton"));
    expected << a + kPress << a + kPress;
    QCOMPARE(fileLines(0, QStringLiteral("Steps")), expected);

    // DELETE.
    QVERIFY(click("macroActionList_item0"));
    QVERIFY(click("deleteActionButton"));
    expected.removeFirst();
    QCOMPARE(fileLines(0, QStringLiteral("Steps")), expected);
}

void tst_GuiMacroPage::spanishRowsStoredInEnglish()
{
    q3emu::KeyboardState state = q3emu::factoryState();
    state.layoutMode = 1;
    writeMacro(0, QStringLiteral("Es"), {});
    QVERIFY(start(state));
    QCOMPARE(gui->rootProperty("layout").toInt(), 1);
    QVERIFY(openMacroPage());
    QVERIFY(chooseFile(0));
    QVERIFY(click("recordButton"));
    // The key right of L: "; :" on the English caps, Ñ on the Spanish ones.
    QVERIFY(gui->typeText(QStringLiteral(";")));
    QTRY_COMPARE(lines().size(), 2);
    QVERIFY(click("stopButton"));
    QCOMPARE(fileLines(0, QStringLiteral("Es")),
             QStringList({QStringLiteral("; :") + kPress, QStringLiteral("; :") + kRelease}));
    QCOMPARE(texts("actionModel"), QStringList({QStringLiteral("\u00D1"), QStringLiteral("\u00D1")}));
}

void tst_GuiMacroPage::boundMacroSentAgain()
{
    writeMacro(0, QStringLiteral("Bound"), {QStringLiteral("A") + kPress, QStringLiteral("A") + kRelease}, 2);
    QVERIFY(start());
    QVERIFY(openMacroPage());
    QVERIFY(chooseFile(0));
    q3emu::clearTrace();
    QVERIFY(click("addDelayButton"));
    QVERIFY(settle());
    // Press A, release A, a delay of 1000 ms (100 tens), end.
    QCOMPARE(hexOf(q3emu::state().profiles[0].macros[2], 16),
             QStringLiteral("01 00 04 01 04 81 00 7F 64 00 00 00 00 00 00 00"));
    QCOMPARE(fileLines(0, QStringLiteral("Bound")).size(), 3);
}

void tst_GuiMacroPage::recordingBounds()
{
    writeMacro(0, QStringLiteral("Long"), {});
    writeMacro(1, QStringLiteral("Other"), {});
    QVERIFY(start());
    QVERIFY(openMacroPage());
    QVERIFY(chooseFile(0));

    // Closing the page ends the recording; what came after is not taken.
    QVERIFY(click("recordButton"));
    QVERIFY(gui->typeText(QStringLiteral("a")));
    QTRY_COMPARE(lines().size(), 2);
    QVERIFY(closeMacroPage());
    QTRY_VERIFY(!recording());
    QVERIFY(gui->typeText(QStringLiteral("b")));
    QCOMPARE(fileLines(0, QStringLiteral("Long")).size(), 2);

    // Hiding the window ends it too.
    QVERIFY(openMacroPage());
    QVERIFY(chooseFile(0));
    QVERIFY(click("recordButton"));
    QVERIFY(gui->typeText(QStringLiteral("b")));
    QTRY_COMPARE(lines().size(), 2);
    gui->window()->uiController()->onMinimize();
    QTRY_VERIFY(!recording());
    QCOMPARE(fileLines(0, QStringLiteral("Long")),
             QStringList({QStringLiteral("B") + kPress, QStringLiteral("B") + kRelease}));
    gui->window()->showNormal();
    gui->window()->raise();
    gui->window()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(gui->window()));

    // So does a change of profile; nothing lands in either folder.
    QVERIFY(chooseFile(0));
    QVERIFY(click("recordButton"));
    QVERIFY(gui->typeText(QStringLiteral("c")));
    QTRY_COMPARE(lines().size(), 2);
    QVERIFY(gui->click(gui->itemByName(QStringLiteral("profileButton1"))));
    QVERIFY(settle());
    QTRY_VERIFY(!recording());
    QCOMPARE(fileLines(0, QStringLiteral("Long")).size(), 2);
    QCOMPARE(fileLines(1, QStringLiteral("Other")), QStringList());
    QVERIFY(gui->click(gui->itemByName(QStringLiteral("profileButton0"))));
    QVERIFY(settle());

    // 70 keys: the recording ends by itself where the block is full, on a
    // release.
    QTRY_COMPARE(fileNames(), QStringList({QStringLiteral("Long")}));
    QVERIFY(chooseFile(0));
    QVERIFY(click("recordButton"));
    QString seventy;
    for (int i = 0; i < 70; ++i)
        seventy.append(QLatin1Char(i % 2 ? 'a' : 'b'));
    QVERIFY(gui->typeText(seventy));
    QTRY_VERIFY(!recording());
    const QStringList stored = fileLines(0, QStringLiteral("Long"));
    QCOMPARE(stored.size(), 62);
    QCOMPARE(stored.last(), QStringLiteral("B") + kRelease);
    QCOMPARE(gui->view()->macroIncode(stored).size(), 128);
}

void tst_GuiMacroPage::refusedRenames()
{
    writeMacro(0, QStringLiteral("First"), {QStringLiteral("A") + kPress});
    writeMacro(0, QStringLiteral("Second"), {QStringLiteral("B") + kPress});
    QVERIFY(start());
    QVERIFY(openMacroPage());
    QVERIFY(chooseFile(0));
    const QMap<QString, QByteArray> before = snapshot(gui->folder().path(QString()));

    auto rename = [this](int row, const QString &text, bool typed) {
        QVERIFY(gui->rightClick(item(QStringLiteral("macroFileList_item%1").arg(row))));
        QVERIFY(gui->waitForAnimations());
        QVERIFY(click("macroMenuRename"));
        QQuickItem *field = item("renameField");
        QVERIFY(field);
        QTRY_VERIFY(field->hasActiveFocus());
        if (typed) {
            QVERIFY(gui->typeText(text));
        } else {
            // As a screen reader sets an editable text: past the field's
            // own filter.
            field->setProperty("text", text);
        }
        QVERIFY(gui->typeText(QStringLiteral("\n")));
    };

    // A name that exists.
    rename(0, QStringLiteral("Second"), true);
    QTRY_COMPARE(fileNames(), QStringList({QStringLiteral("First"), QStringLiteral("Second")}));
    QCOMPARE(call("getCurrentMacroName").toString(), QStringLiteral("First"));
    QCOMPARE(lines(), QStringList({QStringLiteral("A") + kPress}));

    // Hostile names, and an empty one.
    for (const QString &hostile : {QStringLiteral("../x"), QStringLiteral("a/b"), QString()}) {
        rename(0, hostile, false);
        QTRY_COMPARE(fileNames(), QStringList({QStringLiteral("First"), QStringLiteral("Second")}));
    }
    // The field itself refuses the slash; what is left would be a hidden
    // file that no list shows, and is refused as well.
    rename(1, QStringLiteral("../y"), true);
    QTRY_COMPARE(fileNames(), QStringList({QStringLiteral("First"), QStringLiteral("Second")}));
    QCOMPARE(call("getCurrentMacroName").toString(), QStringLiteral("First"));

    // A good name goes through, and the row names the file on disk.
    rename(1, QStringLiteral("Third"), true);
    QTRY_COMPARE(fileNames(), QStringList({QStringLiteral("First"), QStringLiteral("Third")}));

    QMap<QString, QByteArray> after = snapshot(gui->folder().path(QString()));
    const QString thirdPath = macroPath(0, QStringLiteral("Third"));
    const QString secondPath = macroPath(0, QStringLiteral("Second"));
    QCOMPARE(after.take(thirdPath), before.value(secondPath));
    // The program writes its configuration and profiles as it runs; the
    // macro folder holds nothing else, and no file appeared anywhere.
    for (auto it = after.begin(); it != after.end(); ++it) {
        if (it.key().contains(QStringLiteral("/modules/macro")))
            QCOMPARE(it.value(), before.value(it.key()));
        QVERIFY2(before.contains(it.key()), qPrintable(it.key()));
    }
    QVERIFY(!QFileInfo::exists(gui->folder().path(QStringLiteral("modules/x.bin"))));
    QVERIFY(!QFileInfo::exists(gui->folder().path(QStringLiteral("modules/macro0/a"))));
}

void tst_GuiMacroPage::importAndExport()
{
    ScriptedDialogs dialogs;
    writeMacro(0, QStringLiteral("Bound"), {QStringLiteral("A") + kPress, QStringLiteral("A") + kRelease}, 4);
    writeMacro(0, QStringLiteral("Free"), {});
    QVERIFY(gui->folder().write(QStringLiteral("in.mc"),
                                "[config]\nindex=9\ndid=0\nrepeat=3\ntotal=2\n[macro]\n"
                                "0=B       [\\x25bc]\n1=B       [\\x25b2]\n"));
    QVERIFY(start());
    QVERIFY(openMacroPage());
    QVERIFY(chooseFile(0));
    q3emu::clearTrace();

    dialogs.answer = gui->folder().path(QStringLiteral("in.mc"));
    QVERIFY(gui->rightClick(item("macroFileList_item0")));
    QVERIFY(gui->waitForAnimations());
    QVERIFY(click("macroMenuLoad"));
    QVERIFY(settle());
    QCOMPARE(dialogs.opened.size(), 1);
    const QStringList imported{QStringLiteral("B") + kPress, QStringLiteral("B") + kRelease};
    QCOMPARE(lines(), imported);
    QCOMPARE(fileLines(0, QStringLiteral("Bound")), imported);
    QCOMPARE(gui->view()->loadMacroIniConfig(QStringLiteral("Bound")), QVariantList({4, 1}));
    QCOMPARE(hexOf(q3emu::state().profiles[0].macros[4], 8), QStringLiteral("01 00 05 01 05 81 00 00"));
    // The place the file claimed is left alone.
    QCOMPARE(hexOf(q3emu::state().profiles[0].macros[9], 4), QStringLiteral("00 00 00 00"));

    // Export: a byte copy.
    dialogs.saveAnswer = gui->folder().path(QStringLiteral("out.mc"));
    QVERIFY(gui->rightClick(item("macroFileList_item1")));
    QVERIFY(gui->waitForAnimations());
    QVERIFY(click("macroMenuSave"));
    QCOMPARE(dialogs.saved.size(), 1);
    QCOMPARE(gui->folder().read(QStringLiteral("out.mc")),
             gui->folder().read(QStringLiteral("modules/macro0/Free.bin")));

    // CANCEL does nothing.
    QVERIFY(gui->rightClick(item("macroFileList_item1")));
    QVERIFY(gui->waitForAnimations());
    QVERIFY(click("macroMenuCancel"));
    QCOMPARE(dialogs.opened.size(), 1);
    QCOMPARE(dialogs.saved.size(), 1);
}

void tst_GuiMacroPage::listFollowsProfileChanges()
{
    writeMacro(0, QStringLiteral("Zero"), {QStringLiteral("A") + kPress});
    writeMacro(1, QStringLiteral("One"), {});
    writeMacro(2, QStringLiteral("Two"), {});
    QVERIFY(start());
    QVERIFY(openMacroPage());
    QTRY_COMPARE(fileNames(), QStringList({QStringLiteral("Zero")}));
    QVERIFY(chooseFile(0));

    // The profile menu.
    QVERIFY(gui->click(gui->itemByName(QStringLiteral("profileButton1"))));
    QVERIFY(settle());
    QTRY_COMPARE(fileNames(), QStringList({QStringLiteral("One")}));
    QCOMPARE(call("getCurrentMacroName"), QVariant());
    QCOMPARE(lines(), QStringList());

    // A profile key pressed on the keyboard.
    QTRY_VERIFY(gui->window()->link().isMonitorRunning());
    q3emu::pressProfileKey(2);
    QTRY_COMPARE(gui->rootProperty("profile").toInt(), 2);
    QTRY_COMPARE(fileNames(), QStringList({QStringLiteral("Two")}));

    // A new macro lands in the active profile's folder.
    QVERIFY(click("newMacroButton"));
    QVERIFY(QFileInfo::exists(macroPath(2, QStringLiteral("Macro. 001"))));
    QVERIFY(!QFileInfo::exists(macroPath(0, QStringLiteral("Macro. 001"))));
}

GUITEST_MAIN(tst_GuiMacroPage)

#include "tst_gui_macropage.moc"
