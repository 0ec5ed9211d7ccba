// The key assignment page in the real window on the emulated keyboard:
// media, standard and macro assignments made with real pointer events and
// applied to the keyboard and the profile file, RESET and ALL RESET, the
// page following profile changes from every place they come from, and the
// gaming mode check box.
#include "guiharness.h"
#include "linkfixture.h"
#include "scripteddialogs.h"

#include "myquickview.h"
#include "widget.h"

#include <QQuickItem>
#include <QPointer>
#include <QSet>
#include <QSettings>
#include <QtTest>

using guitest::GuiWindow;

namespace {

constexpr int kNextTrack = 0x30B5;
constexpr int kPrevTrack = 0x30B6;
// F4 on the English drawing; its code in the shipped default profile.
constexpr int kF4 = 4;
constexpr int kF4Code = 61;
// Q on the English drawing, with its standard default code.
constexpr int kQ = 33;
constexpr int kQCode = 20;
// Ins on the English drawing.
constexpr int kIns = 30;

QString profileFileName(int slot)
{
    return QStringLiteral("modules/setting/p%1.bin").arg(slot + 1);
}

// The lines of one section of an INI file as they stand on disk.
QStringList sectionLines(const QByteArray &file, const QString &section)
{
    QStringList lines;
    bool inside = false;
    for (const QString &line : QString::fromUtf8(file).split(QLatin1Char('\n'))) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(QLatin1Char('[')))
            inside = trimmed == QLatin1Char('[') + section + QLatin1Char(']');
        else if (inside && !trimmed.isEmpty())
            lines.append(trimmed);
    }
    return lines;
}

// The code the keyboard holds at `position` of profile `slot`.
int deviceCode(int slot, int position)
{
    const q3emu::KeyboardState state = q3emu::state();
    const auto &matrix = state.profiles[slot].keyMatrix;
    return matrix[2 * position] | matrix[2 * position + 1] << 8;
}

// The 10H and 0CH/0DH commands since the trace was cleared, by command code.
QList<int> commandsSent()
{
    QList<int> codes;
    for (const q3emu::TraceEntry &entry : fixture::traceOf(q3emu::TraceEntry::Kind::FeatureSent)) {
        if (entry.bytes.size() >= 2)
            codes.append(entry.bytes[1]);
    }
    return codes;
}

// Every item below `scope` named `name`, through visual and object children
// alike (delegates and created keys are visual children only). The page holds
// a thousand objects and more, so what was seen is a set.
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

} // namespace

class tst_GuiKeyPage : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void mediaKeyAppliedToKeyboardAndFile();
    void dragStandardKeyOntoField();
    void dragOfNonStandardDefaultChangesNothing();
    void macroBindingTakesLowestFreePlace();
    void macroWithoutPlaceOrFile();
    void resetAndAllResetRestoreDefaults();
    void allSaveAppliesTheMatrix();
    void unappliedEditsLostOnProfileChange();
    void pageFollowsEveryProfileSwitch();
    void gamingModeReachesKeyboardAndReadsBack();
    void clickingFieldClearsKey();
    void spanishLayoutShowsSpanishName();

private:
    QQuickItem *page() const
    {
        if (!keyPage) {
            QList<QQuickItem *> found;
            QSet<QObject *> seen;
            collectNamed(gui->root(), QStringLiteral("keyPage"), found, seen);
            keyPage = found.value(0);
        }
        return keyPage;
    }
    // Items of the key page only (other pages hold key drawings too): the
    // first shown one, else the first.
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
    QQuickItem *key(int matrix) const { return item(QStringLiteral("key_%1").arg(matrix)); }
    // An integer property of an item of the page; INT_MIN when there is no
    // such item, so that a missing item never passes for a value.
    int intOf(const char *name, const char *property) const
    {
        QQuickItem *found = item(name);
        return found ? found->property(property).toInt() : INT_MIN;
    }
    int codeOf(int matrix) const
    {
        QQuickItem *k = key(matrix);
        return k ? k->property("keyCode").toInt() : INT_MIN;
    }
    QString fieldText() const
    {
        QQuickItem *field = item("keyboardField");
        return field ? field->property("keyname").toString() : QStringLiteral("<no field>");
    }
    bool openKeyPage();
    bool selectKey(int matrix);
    // Unrolls `list` of the page and clicks its entry `index`.
    bool choose(const QString &list, int index);
    bool apply();
    // Copies of the default profile in every slot, `edit` applied to slot's file.
    void writeProfiles(const std::function<void(int slot, QSettings &file)> &edit);
    bool settle() { return gui->waitUntilIdle() && fixture::waitUntilIdle(gui->window()->link()); }

    std::unique_ptr<GuiWindow> gui;
    mutable QPointer<QQuickItem> keyPage;
};

void tst_GuiKeyPage::init()
{
    gui = std::make_unique<GuiWindow>();
}

void tst_GuiKeyPage::cleanup()
{
    keyPage.clear();
    gui.reset();
}

bool tst_GuiKeyPage::openKeyPage()
{
    if (!gui->click(gui->itemByName(QStringLiteral("funcButton0"))) || !gui->waitForAnimations())
        return false;
    if (!page() || !gui->isShown(page())) {
        qWarning("the key page is not shown after the KEY entry");
        return false;
    }
    return true;
}

bool tst_GuiKeyPage::selectKey(int matrix)
{
    QQuickItem *k = key(matrix);
    if (!k) {
        qWarning("no key item for matrix %d", matrix);
        return false;
    }
    if (!gui->click(k))
        return false;
    QObject *model = item("keyboardModel");
    return model && model->property("curKeyMatrix").toInt() == matrix;
}

bool tst_GuiKeyPage::choose(const QString &list, int index)
{
    if (!gui->click(item(list)) || !gui->waitForAnimations())
        return false;
    QQuickItem *entry = item(QStringLiteral("%1_item%2").arg(list).arg(index));
    QQuickItem *view = item(list + QStringLiteral("_view"));
    if (entry && view && !gui->isShown(entry)) {
        // Scrolled into sight as the wheel would; 4 is ListView.Contain.
        QMetaObject::invokeMethod(view, "positionViewAtIndex", Q_ARG(int, index), Q_ARG(int, 4));
        QCoreApplication::processEvents();
    }
    return gui->click(entry) && gui->waitForAnimations();
}

bool tst_GuiKeyPage::apply()
{
    return gui->click(item("keyApplyButton")) && settle();
}

void tst_GuiKeyPage::writeProfiles(const std::function<void(int, QSettings &)> &edit)
{
    const QByteArray defaults = gui->folder().read(QStringLiteral("modules/setting/pD.bin"));
    QVERIFY(!defaults.isEmpty());
    for (int slot = 0; slot < 4; ++slot) {
        QVERIFY(gui->folder().write(profileFileName(slot), defaults));
        QSettings file(gui->folder().path(profileFileName(slot)), QSettings::IniFormat);
        edit(slot, file);
    }
}

void tst_GuiKeyPage::mediaKeyAppliedToKeyboardAndFile()
{
    QVERIFY(gui->start());
    QVERIFY(openKeyPage());
    QVERIFY(selectKey(kF4));
    QCOMPARE(codeOf(kF4), kF4Code);
    QCOMPARE(intOf("kindList", "defaultIndex"), 0);

    QVERIFY(choose(QStringLiteral("kindList"), 1));
    QVERIFY(gui->isShown(item("mediaList")));
    QVERIFY(choose(QStringLiteral("mediaList"), 0));
    QCOMPARE(codeOf(kF4), kNextTrack);
    // Nothing reaches the keyboard before APPLY.
    QCOMPARE(deviceCode(0, kF4), kF4 + 4);

    q3emu::clearTrace();
    QVERIFY(apply());
    QCOMPARE(commandsSent(), QList<int>({0x0C, 0x0D}));
    QCOMPARE(deviceCode(0, kF4), kNextTrack);
    const QStringList section =
        sectionLines(gui->folder().read(profileFileName(0)), QStringLiteral("keydefine0"));
    QVERIFY2(section.contains(QStringLiteral("4=181, 48")), qPrintable(section.join(QLatin1Char('|'))));

    // The whole matrix went: every position holds what the file holds (the
    // emulator's factory matrix differs from the default profile), 45's code
    // standing in at 61.
    QSettings file(gui->folder().path(profileFileName(0)), QSettings::IniFormat);
    for (int position = 0; position < 128; ++position) {
        const int source = position == 61 ? 45 : position;
        const QStringList stored = file.value(QStringLiteral("keydefine0/%1").arg(source)).toStringList();
        QCOMPARE(stored.size(), 2);
        QCOMPARE(deviceCode(0, position), stored[0].toInt() | stored[1].toInt() << 8);
    }

    // A stored media code shows as that media entry again.
    QVERIFY(selectKey(kQ));
    QVERIFY(selectKey(kF4));
    QCOMPARE(intOf("kindList", "defaultIndex"), 1);
    QCOMPARE(intOf("mediaList", "defaultIndex"), 0);
}

void tst_GuiKeyPage::dragStandardKeyOntoField()
{
    QVERIFY(gui->start());
    QVERIFY(openKeyPage());
    QVERIFY(selectKey(kF4));
    QQuickItem *field = item("keyboardField");
    QVERIFY(field && gui->isShown(field));
    QVERIFY(key(kQ) && key(kIns) && key(116));

    QVERIFY(gui->drag(gui->centreOf(key(kQ)), gui->centreOf(field), 12));
    QCOMPARE(codeOf(kF4), kQCode);
    QCOMPARE(fieldText(), QStringLiteral("Q"));
    // The dragged key itself keeps its code, and the selection stays.
    QCOMPARE(codeOf(kQ), kQCode);
    QCOMPARE(intOf("keyboardModel", "curKeyMatrix"), kF4);

    // Dropped anywhere else, a drag changes nothing.
    QVERIFY(gui->drag(gui->centreOf(key(kIns)), gui->centreOf(key(kQ)) + QPoint(0, 60), 12));
    QCOMPARE(codeOf(kF4), kQCode);

    // The protected keys do not drag at all.
    QVERIFY(gui->drag(gui->centreOf(key(116)), gui->centreOf(field), 12));
    QCOMPARE(codeOf(kF4), kQCode);
}

void tst_GuiKeyPage::dragOfNonStandardDefaultChangesNothing()
{
    // The shipped drawing has no key whose default is a media code, so the
    // program folder gets one: Ins defaults to MUTE (0x30E2).
    QByteArray table = gui->folder().read(QStringLiteral("modules/setting/HWDef0.bin"));
    const QByteArray ins = "=490, 84, 1, Ins, 30, 73\n";
    QVERIFY(table.contains(ins));
    table.replace(ins, "=490, 84, 1, Ins, 30, 12514\n");
    QVERIFY(gui->folder().write(QStringLiteral("modules/setting/HWDef0.bin"), table));

    QVERIFY(gui->start());
    QVERIFY(openKeyPage());
    QVERIFY(key(kIns));
    QCOMPARE(key(kIns)->property("keyCode_Default").toInt(), 0x30E2);
    QVERIFY(selectKey(kF4));
    QQuickItem *field = item("keyboardField");
    QVERIFY(field && gui->isShown(field));
    QVERIFY(gui->drag(gui->centreOf(key(kIns)), gui->centreOf(field), 12));
    QCOMPARE(codeOf(kF4), kF4Code);
    QCOMPARE(intOf("keyboardModel", "curKeyMatrix"), kF4);
}

void tst_GuiKeyPage::macroBindingTakesLowestFreePlace()
{
    QVERIFY(gui->start());
    // Slot 1, so that the device macro id shows the profile's offset.
    QVERIFY(gui->click(gui->itemByName(QStringLiteral("profileButton1"))));
    QVERIFY(settle());
    myQQuickView *view = gui->view();
    const QString press = QStringLiteral("       [\u25bc]");
    const QString release = QStringLiteral("       [\u25b2]");

    // One macro already holds place 0; the one bound next is unbound, with
    // repeat mode 2.
    QVariant first, second;
    QVERIFY(QMetaObject::invokeMethod(view, "createMacroIni", Q_RETURN_ARG(QVariant, first)));
    QVERIFY(QMetaObject::invokeMethod(view, "createMacroIni", Q_RETURN_ARG(QVariant, second)));
    QCOMPARE(second.toString(), QStringLiteral("Macro. 002"));
    view->setMacroIniConfig(first, {0, 1});
    view->setMacroIniConfig(second, {-1, 2});
    QVariant saved;
    QVERIFY(QMetaObject::invokeMethod(
        view, "saveMacroIni", Q_RETURN_ARG(QVariant, saved), Q_ARG(QVariant, second),
        Q_ARG(QStringList, QStringList({QStringLiteral("A") + press, QStringLiteral("A") + release}))));
    QVERIFY(saved.toBool());
    QVERIFY(settle());

    QVERIFY(openKeyPage());
    QVERIFY(selectKey(kF4));
    QVERIFY(choose(QStringLiteral("kindList"), 2));
    q3emu::clearTrace();
    QVERIFY(choose(QStringLiteral("macroList"), 1));
    QVERIFY(settle());
    QCOMPARE(item("macroList")->property("currentText").toString(), QStringLiteral("Macro. 002"));

    QCOMPARE(view->loadMacroIniConfig(second), QVariantList({1, 2}));
    QCOMPARE(codeOf(kF4), 0x4000 | 2 << 8 | 1);
    // Place 1 of the second profile is device macro 33.
    QList<int> macroIds;
    for (const q3emu::TraceEntry &entry : fixture::traceOf(q3emu::TraceEntry::Kind::FeatureSent)) {
        if (entry.bytes.size() >= 4 && entry.bytes[1] == 0x10)
            macroIds.append(entry.bytes[3]);
    }
    QCOMPARE(macroIds, QList<int>{33});
    const q3emu::KeyboardState state = q3emu::state();
    const std::vector<uint8_t> block(state.profiles[1].macros[1], state.profiles[1].macros[1] + 128);
    std::vector<uint8_t> expected{0x01, 0x00, 0x04, 0x01, 0x04, 0x81, 0x00, 0x00};
    expected.resize(128, 0);
    QCOMPARE(fixture::hex(block), fixture::hex(expected));

    QVERIFY(apply());
    QCOMPARE(deviceCode(1, kF4), 0x4201);
    QVERIFY(sectionLines(gui->folder().read(profileFileName(1)), QStringLiteral("keydefine0"))
                .contains(QStringLiteral("4=1, 66")));

    // Shown again, the code picks that macro in the list.
    QVERIFY(selectKey(kQ));
    QVERIFY(selectKey(kF4));
    QCOMPARE(intOf("kindList", "defaultIndex"), 2);
    QCOMPARE(item("macroList")->property("currentText").toString(), QStringLiteral("Macro. 002"));
}

void tst_GuiKeyPage::macroWithoutPlaceOrFile()
{
    // Q holds macro place 17 in the file, which no macro file claims.
    writeProfiles([](int, QSettings &file) {
        file.setValue(QStringLiteral("keydefine0/%1").arg(kQ),
                      QStringList({QStringLiteral("17"), QStringLiteral("64")}));
    });
    ScriptedDialogs dialogs;
    QVERIFY(gui->start());
    myQQuickView *view = gui->view();
    // Every place 0..16 is taken; one more macro stays unbound.
    QVariant name;
    for (int place = 0; place <= 16; ++place) {
        QVERIFY(QMetaObject::invokeMethod(view, "createMacroIni", Q_RETURN_ARG(QVariant, name)));
        view->setMacroIniConfig(name, {place, 1});
    }
    QVERIFY(QMetaObject::invokeMethod(view, "createMacroIni", Q_RETURN_ARG(QVariant, name)));
    QCOMPARE(name.toString(), QStringLiteral("Macro. 018"));

    QVERIFY(openKeyPage());
    QVERIFY(selectKey(kQ));
    QCOMPARE(codeOf(kQ), 0x4011);
    QCOMPARE(intOf("kindList", "defaultIndex"), 2);
    QCOMPARE(item("macroList")->property("currentText").toString(), QString());

    // The unbound macro finds no place: no code with place 0xFF, nothing sent.
    QVERIFY(selectKey(kF4));
    QVERIFY(choose(QStringLiteral("kindList"), 2));
    q3emu::clearTrace();
    QVERIFY(choose(QStringLiteral("macroList"), 17));
    QVERIFY(settle());
    // The user is told why, and nothing reaches the keyboard.
    QCOMPARE(dialogs.warnings.size(), 1);
    QVERIFY(!commandsSent().contains(0x10));
    QVERIFY2((codeOf(kF4) & 0xFF) != 0xFF, qPrintable(QString::number(codeOf(kF4), 16)));
    QCOMPARE(view->loadMacroIniConfig(name).value(0).toInt(), -1);
}

void tst_GuiKeyPage::resetAndAllResetRestoreDefaults()
{
    QVERIFY(gui->start());
    QVERIFY(openKeyPage());
    for (int matrix : {kF4, kQ}) {
        QVERIFY(selectKey(matrix));
        QVERIFY(choose(QStringLiteral("kindList"), 1));
        QVERIFY(choose(QStringLiteral("mediaList"), 1));
        QCOMPARE(codeOf(matrix), kPrevTrack);
    }

    // RESET: only the selected key.
    QVERIFY(gui->click(item("keyResetButton")));
    QCOMPARE(codeOf(kQ), kQCode);
    QCOMPARE(codeOf(kF4), kPrevTrack);
    QCOMPARE(intOf("kindList", "defaultIndex"), 0);

    // ALL RESET: every key, and the shown one with it.
    QVERIFY(selectKey(kF4));
    QVERIFY(gui->click(gui->itemByName(QStringLiteral("allResetButton"))));
    QVERIFY(settle());
    QCOMPARE(codeOf(kF4), kF4Code);
    QCOMPARE(intOf("kindList", "defaultIndex"), 0);
    QCOMPARE(fieldText(), QStringLiteral("F4"));
    for (int matrix = 0; matrix < 128; ++matrix) {
        QQuickItem *k = key(matrix);
        if (k)
            QCOMPARE(k->property("keyCode").toInt(), k->property("keyCode_Default").toInt());
    }
}

void tst_GuiKeyPage::allSaveAppliesTheMatrix()
{
    QVERIFY(gui->start());
    QVERIFY(openKeyPage());
    QVERIFY(selectKey(kF4));
    QVERIFY(choose(QStringLiteral("kindList"), 1));
    QVERIFY(choose(QStringLiteral("mediaList"), 1));
    q3emu::clearTrace();
    QVERIFY(gui->click(gui->itemByName(QStringLiteral("allSaveButton"))));
    QVERIFY(gui->waitUntilIdle(8000));
    QVERIFY(fixture::waitUntilIdle(gui->window()->link()));
    QCOMPARE(deviceCode(0, kF4), kPrevTrack);
    QVERIFY(sectionLines(gui->folder().read(profileFileName(0)), QStringLiteral("keydefine0"))
                .contains(QStringLiteral("4=182, 48")));
}

void tst_GuiKeyPage::unappliedEditsLostOnProfileChange()
{
    QVERIFY(gui->start());
    QVERIFY(openKeyPage());
    QVERIFY(selectKey(kF4));
    QVERIFY(choose(QStringLiteral("kindList"), 1));
    QVERIFY(choose(QStringLiteral("mediaList"), 0));
    QVERIFY(selectKey(kQ));
    QVERIFY(choose(QStringLiteral("kindList"), 1));
    QVERIFY(choose(QStringLiteral("mediaList"), 1));
    QVERIFY(apply());
    // F4 applied, Q changed again after APPLY.
    QVERIFY(selectKey(kQ));
    QVERIFY(choose(QStringLiteral("kindList"), 0));
    QCOMPARE(codeOf(kQ), kPrevTrack);
    QVERIFY(gui->click(item("keyboardField")));
    QCOMPARE(codeOf(kQ), 0);

    QVERIFY(gui->click(gui->itemByName(QStringLiteral("profileButton2"))));
    QVERIFY(settle());
    QCOMPARE(codeOf(kF4), kF4Code);
    QVERIFY(gui->click(gui->itemByName(QStringLiteral("profileButton0"))));
    QVERIFY(settle());
    QCOMPARE(codeOf(kF4), kNextTrack);
    QCOMPARE(codeOf(kQ), kPrevTrack);
    // The selection survives the reload.
    QCOMPARE(intOf("keyboardModel", "curKeyMatrix"), kQ);
    QCOMPARE(intOf("mediaList", "defaultIndex"), 1);
}

void tst_GuiKeyPage::pageFollowsEveryProfileSwitch()
{
    // Each slot's file gives F4 its own code: a media key per slot.
    writeProfiles([](int slot, QSettings &file) {
        file.setValue(QStringLiteral("keydefine0/%1").arg(kF4),
                      QStringList({QString::number(0xB5 + slot), QStringLiteral("48")}));
    });
    QVERIFY(gui->start());
    QVERIFY(openKeyPage());
    QCOMPARE(codeOf(kF4), kNextTrack);

    // The profile menu.
    QVERIFY(gui->click(gui->itemByName(QStringLiteral("profileButton1"))));
    QVERIFY(settle());
    QCOMPARE(codeOf(kF4), kNextTrack + 1);

    // The page's own profile keys.
    QQuickItem *m4 = item("mKey4");
    QVERIFY(m4 && gui->isShown(m4));
    QVERIFY(gui->click(m4));
    QVERIFY(settle());
    QCOMPARE(gui->rootProperty("profile").toInt(), 3);
    QQuickItem *menu = gui->itemByName(QStringLiteral("menuProf"));
    QVERIFY(menu);
    QCOMPARE(menu->property("currentIndex").toInt(), 3);
    QTRY_COMPARE(q3emu::state().activeProfile, uint8_t(3));
    QCOMPARE(codeOf(kF4), kNextTrack + 3);

    // A profile key pressed on the keyboard.
    QTRY_VERIFY(gui->window()->link().isMonitorRunning());
    q3emu::pressProfileKey(2);
    QTRY_COMPARE(gui->rootProperty("profile").toInt(), 2);
    QTRY_COMPARE(codeOf(kF4), kNextTrack + 2);

    // M1 of the page back to the first slot.
    QVERIFY(gui->click(item("mKey1")));
    QVERIFY(settle());
    QCOMPARE(gui->rootProperty("profile").toInt(), 0);
    QCOMPARE(codeOf(kF4), kNextTrack);
    QCOMPARE(intOf("mediaList", "defaultIndex"), -1);
}

void tst_GuiKeyPage::gamingModeReachesKeyboardAndReadsBack()
{
    q3emu::KeyboardState state = q3emu::factoryState();
    state.options[0] = 1;
    state.options[1] = 0x05;
    state.options[2] = 0x07;
    QVERIFY(gui->start(state));
    QVERIFY(openKeyPage());
    QQuickItem *box = item("gamingModeCheckbox");
    QVERIFY(box && gui->isShown(box));
    QCOMPARE(box->property("isSelect").toBool(), true);

    QVERIFY(gui->click(box));
    QVERIFY(settle());
    QCOMPARE(box->property("isSelect").toBool(), false);
    QCOMPARE(int(q3emu::state().options[0]), 0);
    // The other option bytes go back as read.
    QCOMPARE(int(q3emu::state().options[1]), 0x05);
    QCOMPARE(int(q3emu::state().options[2]), 0x07);

    QVERIFY(gui->click(box));
    QVERIFY(settle());
    QCOMPARE(int(q3emu::state().options[0]), 1);

    // Changed at the keyboard, the box follows at the next profile change.
    state = q3emu::state();
    state.options[0] = 0;
    q3emu::setState(state);
    QVERIFY(gui->click(gui->itemByName(QStringLiteral("profileButton1"))));
    QVERIFY(settle());
    QCOMPARE(box->property("isSelect").toBool(), false);
}

void tst_GuiKeyPage::clickingFieldClearsKey()
{
    QVERIFY(gui->start());
    QVERIFY(openKeyPage());
    QVERIFY(selectKey(kF4));
    QCOMPARE(fieldText(), QStringLiteral("F4"));
    QVERIFY(gui->click(item("keyboardField")));
    QCOMPARE(codeOf(kF4), 0);
    QVERIFY(apply());
    QCOMPARE(deviceCode(0, kF4), 0);
    QVERIFY(sectionLines(gui->folder().read(profileFileName(0)), QStringLiteral("keydefine0"))
                .contains(QStringLiteral("4=0, 0")));
}

void tst_GuiKeyPage::spanishLayoutShowsSpanishName()
{
    q3emu::KeyboardState state = q3emu::factoryState();
    state.layoutMode = 1;
    QVERIFY(gui->start(state));
    QCOMPARE(gui->rootProperty("layout").toInt(), 1);
    QVERIFY(openKeyPage());
    // The key at 58 carries usage 0x33, "; :" in English names.
    QVERIFY(selectKey(58));
    QCOMPARE(codeOf(58), 0x33);
    QCOMPARE(fieldText(), QString::fromUtf8("\xc3\x91"));
}

GUITEST_MAIN(tst_GuiKeyPage)
#include "tst_gui_keypage.moc"
