// The lighting page in the real window on the emulated keyboard: what APPLY
// puts on the keyboard (lighting, palette, pictures) and in the profile
// file, the keyboard's own reports right after APPLY and later, levels read
// from the keyboard and sent back, painting only in PAINTING, key presses
// from the X server lighting keys, RESET, and the preview running only
// while the page is shown.
#include "guiharness.h"
#include "inputhooks.h"
#include "keytables.h"
#include "linkfixture.h"

#include "myquickview.h"
#include "ui_controler.h"
#include "widget.h"

#include <QJSValue>
#include <QPointer>
#include <QQuickItem>
#include <QSet>
#include <QSettings>
#include <QtTest>

using guitest::GuiWindow;

namespace {

// Q and W on the English drawing, side by side.
constexpr int kQ = 33;
constexpr int kW = 34;
constexpr int kE = 35;

QString profileFileName(int slot)
{
    return QStringLiteral("modules/setting/p%1.bin").arg(slot + 1);
}

// The command codes of the feature reports since the trace was cleared.
QList<int> commandsSent()
{
    QList<int> codes;
    for (const q3emu::TraceEntry &entry : fixture::traceOf(q3emu::TraceEntry::Kind::FeatureSent)) {
        if (entry.bytes.size() >= 2)
            codes.append(entry.bytes[1]);
    }
    return codes;
}

// The picture indexes of the 12H commands since the trace was cleared.
QList<int> picturesSent()
{
    QList<int> indexes;
    for (const q3emu::TraceEntry &entry : fixture::traceOf(q3emu::TraceEntry::Kind::FeatureSent)) {
        if (entry.bytes.size() >= 4 && entry.bytes[1] == 0x12)
            indexes.append(entry.bytes[3]);
    }
    return indexes;
}

QVariantList filled(int count, int value)
{
    QVariantList list;
    for (int i = 0; i < count; ++i)
        list.append(value);
    return list;
}

QVariantList listOf(QVariant value)
{
    if (value.userType() == qMetaTypeId<QJSValue>())
        value = value.value<QJSValue>().toVariant();
    return value.toList();
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

void forwardKey(uint8_t usage, bool isDown, void *window)
{
    if (myQQuickView *view = static_cast<Widget *>(window)->view())
        view->detectKeyboard(isDown, usage);
}

} // namespace

class tst_GuiColorPage : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void rippleAppliedWithColourTable();
    void paintedPictureReachesKeyboardOthersKeptInFile();
    void reportsAfterApplyAndWhilePainting();
    void levelsReadFromKeyboardAndFile();
    void paintingOnlyInPaintingAndKeyPresses();
    void resetSendsNothingUntilApply();
    void previewRunsOnlyWhileShown();

private:
    QQuickItem *page() const
    {
        if (!colorPage) {
            QList<QQuickItem *> found;
            QSet<QObject *> seen;
            collectNamed(gui->root(), QStringLiteral("colorPage"), found, seen);
            colorPage = found.value(0);
        }
        return colorPage;
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
    QQuickItem *key(int matrix) const { return item(QStringLiteral("colorKey_%1").arg(matrix)); }
    QObject *controller() const
    {
        return page() ? page()->property("effectController").value<QObject *>() : nullptr;
    }
    QObject *preview() const { return page() ? page()->property("preview").value<QObject *>() : nullptr; }
    int level(const char *name) const
    {
        return controller() ? controller()->property(name).toInt() : INT_MIN;
    }
    int intOf(const char *name, const char *property) const
    {
        QQuickItem *found = item(name);
        return found ? found->property(property).toInt() : INT_MIN;
    }
    int previewInt(const char *method, int argument = -1) const
    {
        int result = INT_MIN;
        if (!preview())
            return result;
        if (argument >= 0)
            QMetaObject::invokeMethod(preview(), method, Q_RETURN_ARG(int, result), Q_ARG(int, argument));
        else
            QMetaObject::invokeMethod(preview(), method, Q_RETURN_ARG(int, result));
        return result;
    }
    QVariantList picture(int index) const
    {
        return listOf(listOf(page()->property("pictures")).value(index));
    }

    bool openColorPage();
    bool choose(const QString &list, int index);
    bool clickStop(const char *slider, int stop);
    bool typeInto(const char *field, const QString &text);
    bool paintOver(int fromMatrix, int toMatrix);
    bool apply() { return gui->click(item("colorApplyButton")) && settle(); }
    bool settle() { return gui->waitUntilIdle() && fixture::waitUntilIdle(gui->window()->link()); }
    void writeProfiles(const std::function<void(int slot, QSettings &file)> &edit);

    std::unique_ptr<GuiWindow> gui;
    mutable QPointer<QQuickItem> colorPage;
};

void tst_GuiColorPage::init()
{
    gui = std::make_unique<GuiWindow>();
}

void tst_GuiColorPage::cleanup()
{
    colorPage.clear();
    gui.reset();
}

bool tst_GuiColorPage::openColorPage()
{
    if (!gui->click(gui->itemByName(QStringLiteral("funcButton2"))) || !gui->waitForAnimations())
        return false;
    if (!page() || !gui->isShown(page())) {
        qWarning("the lighting page is not shown after the COLOR entry");
        return false;
    }
    return true;
}

bool tst_GuiColorPage::choose(const QString &list, int index)
{
    if (!gui->click(item(list)) || !gui->waitForAnimations())
        return false;
    return gui->click(item(QStringLiteral("%1_item%2").arg(list).arg(index))) && gui->waitForAnimations();
}

bool tst_GuiColorPage::clickStop(const char *slider, int stop)
{
    QQuickItem *s = item(slider);
    if (!s)
        return false;
    const QVariantList scale = listOf(s->property("scaleValue"));
    // A little right of the stop: the knob's centre follows the pointer.
    const double x = scale.value(stop).toDouble() + 12;
    return gui->click(gui->screenPoint(s, QPointF(x, s->height() / 2))) &&
           s->property("currentIndex").toInt() == stop;
}

bool tst_GuiColorPage::typeInto(const char *field, const QString &text)
{
    return gui->click(item(field)) && gui->typeText(text + QStringLiteral("\n"));
}

bool tst_GuiColorPage::paintOver(int fromMatrix, int toMatrix)
{
    QQuickItem *from = key(fromMatrix);
    QQuickItem *to = key(toMatrix);
    if (!from || !to)
        return false;
    return gui->drag(gui->centreOf(from), gui->centreOf(to), 8);
}

void tst_GuiColorPage::writeProfiles(const std::function<void(int, QSettings &)> &edit)
{
    const QByteArray defaults = gui->folder().read(QStringLiteral("modules/setting/pD.bin"));
    QVERIFY(!defaults.isEmpty());
    for (int slot = 0; slot < 4; ++slot) {
        QVERIFY(gui->folder().write(profileFileName(slot), defaults));
        QSettings file(gui->folder().path(profileFileName(slot)), QSettings::IniFormat);
        edit(slot, file);
    }
}

void tst_GuiColorPage::rippleAppliedWithColourTable()
{
    QVERIFY(gui->start());
    QVERIFY(openColorPage());
    QVERIFY(gui->click(item("groupEffects")));
    QVERIFY(choose(QStringLiteral("effectList"), 5));
    QCOMPARE(level("effectIndex"), 5);
    QVERIFY(clickStop("brightnessSlider", 3));
    QVERIFY(clickStop("speedSlider", 6));
    QVERIFY(gui->click(item("colorEntry2")));
    QCOMPARE(level("colorLV"), 2);
    q3emu::clearTrace();
    QVERIFY(apply());

    const q3emu::KeyboardState state = q3emu::state();
    const auto &lighting = state.profiles[state.activeProfile].lighting;
    QCOMPARE(QList<int>({lighting[0], lighting[1], lighting[2], lighting[3], lighting[4], lighting[5]}),
             QList<int>({5, 27, 1, 0, 2, 0}));
    QVERIFY(commandsSent().contains(0x30));
    const QVariantList table = listOf(page()->property("colorTable"));
    QCOMPARE(table.size(), 21);
    const auto &palette = state.profiles[state.activeProfile].palette;
    for (int i = 0; i < 21; ++i)
        QCOMPARE(int(palette[i]), table.at(i).toInt() / 4);
    for (int i = 21; i < 64; ++i)
        QCOMPARE(int(palette[i]), 0);

    // LOOP goes out as 7.
    QVERIFY(gui->click(item("colorLoop")));
    QVERIFY(apply());
    QCOMPARE(int(q3emu::state().profiles[state.activeProfile].lighting[4]), 7);
}

void tst_GuiColorPage::paintedPictureReachesKeyboardOthersKeptInFile()
{
    q3emu::KeyboardState s = q3emu::factoryState();
    s.profiles[0].pictures[0][0][5] = 9;
    s.profiles[0].pictures[2][1][7] = 11;
    QVERIFY(gui->start(s));
    QVERIFY(openColorPage());
    QVERIFY(gui->click(item("groupPainting")));
    QVERIFY(choose(QStringLiteral("pictureList"), 1));
    QCOMPARE(level("effectIndex"), 0x34);
    QVERIFY(typeInto("redField_input", QStringLiteral("40")));
    QVERIFY(typeInto("greenField_input", QStringLiteral("80")));
    QVERIFY(typeInto("blueField_input", QStringLiteral("120")));
    QVERIFY(paintOver(kQ, kW));
    QVERIFY(key(kQ)->property("selected").toBool());
    QVERIFY(key(kW)->property("selected").toBool());
    QVERIFY(!key(kE)->property("selected").toBool());
    q3emu::clearTrace();
    QVERIFY(apply());

    // Only the running picture goes to the keyboard, in three planes.
    QCOMPARE(picturesSent(), QList<int>({1, 1, 1}));
    const q3emu::KeyboardState state = q3emu::state();
    const auto &pictures = state.profiles[0].pictures;
    for (int m : {kQ, kW}) {
        QCOMPARE(int(pictures[1][0][m]), 10);
        QCOMPARE(int(pictures[1][1][m]), 20);
        QCOMPARE(int(pictures[1][2][m]), 30);
    }
    QCOMPARE(int(pictures[1][0][kE]), 0);
    QCOMPARE(int(pictures[0][0][5]), 9);
    QCOMPARE(int(pictures[2][1][7]), 11);
    QCOMPARE(int(state.profiles[0].lighting[0]), 0x34);

    // The profile file holds all five, complete.
    QSettings file(gui->folder().path(profileFileName(0)), QSettings::IniFormat);
    for (int i = 0; i < 5; ++i)
        QCOMPARE(file.value(QStringLiteral("userPicture/%1").arg(i)).toList().size(), 384);
    const QVariantList stored = file.value(QStringLiteral("userPicture/1")).toList();
    QCOMPARE(stored.at(3 * kQ).toInt(), 40);
    QCOMPARE(stored.at(3 * kW + 2).toInt(), 120);
}

void tst_GuiColorPage::reportsAfterApplyAndWhilePainting()
{
    QVERIFY(gui->start());
    QVERIFY(openColorPage());
    const int effect = level("effectIndex");
    QVERIFY(apply());
    QCOMPARE(gui->rootProperty("disableTongbu").toInt(), 2);
    // The emulated keyboard does not echo the host's writes: this report is
    // a change at the keyboard, but it comes right after APPLY.
    q3emu::pressLightingKeys(0x07, 63, 3);
    QTRY_COMPARE(gui->rootProperty("disableTongbu").toInt(), 1);
    QCOMPARE(level("effectIndex"), effect);

    QTest::qWait(2300);
    q3emu::pressLightingKeys(0x09, 18, 3);
    QTRY_COMPARE(level("effectIndex"), 9);
    QCOMPARE(intOf("brightnessSlider", "currentIndex"), 2);
    QCOMPARE(gui->rootProperty("disableTongbu").toInt(), 0);

    // A report while a picture is half painted keeps the painting.
    QVERIFY(gui->click(item("groupPainting")));
    QVERIFY(choose(QStringLiteral("pictureList"), 0));
    QVERIFY(typeInto("redField_input", QStringLiteral("200")));
    QVERIFY(paintOver(kQ, kW));
    QCOMPARE(picture(0).at(3 * kQ).toInt(), 200);
    q3emu::pressLightingKeys(0x33, 27, 3);
    QTRY_COMPARE(intOf("brightnessSlider", "currentIndex"), 3);
    QCOMPARE(picture(0).at(3 * kQ).toInt(), 200);
    QCOMPARE(picture(0).at(3 * kW).toInt(), 200);
    QCOMPARE(level("effectIndex"), 0x33);
}

void tst_GuiColorPage::levelsReadFromKeyboardAndFile()
{
    writeProfiles([](int slot, QSettings &file) {
        if (slot == 1)
            file.setValue(QStringLiteral("color/ledType"), QVariantList{1, 100, 0, 0, 0, 0});
    });
    q3emu::KeyboardState s = q3emu::factoryState();
    s.profiles[0].lighting[0] = 1;
    s.profiles[0].lighting[1] = 63;
    s.profiles[0].lighting[2] = 0;
    QVERIFY(gui->start(s));
    QVERIFY(openColorPage());
    // The keyboard's own values at start: brightness 63 is the last stop,
    // speed 0 the slowest.
    QCOMPARE(intOf("brightnessSlider", "currentIndex"), 7);
    QCOMPARE(intOf("speedSlider", "currentIndex"), 7);

    // The second profile's file: brightness 100 is not read, speed 0 shows 1.
    QVERIFY(clickStop("brightnessSlider", 2));
    QVERIFY(gui->click(gui->itemByName(QStringLiteral("profileButton1"))));
    QVERIFY(settle());
    QTRY_COMPARE(intOf("speedSlider", "currentIndex"), 1);
    QCOMPARE(intOf("brightnessSlider", "currentIndex"), 2);
    // The same from the keyboard.
    q3emu::pressLightingKeys(0x01, 100, 0);
    QTRY_COMPARE(intOf("speedSlider", "currentIndex"), 7);
    QCOMPARE(intOf("brightnessSlider", "currentIndex"), 7);
    QVERIFY(apply());
    const q3emu::KeyboardState state = q3emu::state();
    QCOMPARE(int(state.activeProfile), 1);
    QCOMPARE(int(state.profiles[1].lighting[1]), 63);

    // An effect code the page does not know: no group, the static picture.
    QTest::qWait(2300);
    q3emu::pressLightingKeys(0x20, 63, 3);
    QTRY_COMPARE(page()->property("group").toInt(), -1);
    QCOMPARE(level("effectIndex"), -1);
    QCOMPARE(preview()->property("effect").toInt(), -1);
    QVERIFY(previewInt("keyOpacity", kQ) > 0);
    QTest::qWait(300);
    QVERIFY(!preview()->property("running").toBool());
    QVERIFY(apply());
    QCOMPARE(int(q3emu::state().profiles[1].lighting[0]), 0x20);
}

void tst_GuiColorPage::paintingOnlyInPaintingAndKeyPresses()
{
    QVERIFY(gui->start());
    InputHooks hooks;
    QVERIFY2(hooks.install(input::hashTildeLayoutFor(gui->view()->keyboardLayout())),
             "no key capture on the test's X server");
    InputHooks::setKeyboardHandler(forwardKey, gui->window());
    QVERIFY(openColorPage());
    QVERIFY(gui->click(item("groupEffects")));
    QVERIFY(choose(QStringLiteral("effectList"), 3));
    // The keyboard starts dark (brightness 4 of 63 is stop 0).
    QVERIFY(clickStop("brightnessSlider", 6));
    const QVariantList before = picture(0);
    QVERIFY(paintOver(kQ, kW));
    QVERIFY(!key(kQ)->property("selected").toBool());
    QCOMPARE(picture(0), before);

    // INDUCTION DARKEN: the pressed key lights up.
    QCOMPARE(previewInt("keyOpacity", kQ), 0);
    QVERIFY(gui->typeText(QStringLiteral("q")));
    QTRY_VERIFY(previewInt("keyOpacity", kQ) > 0);

    // RAINING: a press starts one ring; its release none.
    QVERIFY(choose(QStringLiteral("effectList"), 9));
    QCOMPARE(previewInt("ringCount"), 0);
    QVERIFY(gui->typeText(QStringLiteral("w")));
    QTRY_COMPARE(previewInt("ringCount"), 1);
    QTest::qWait(50);
    QVERIFY(previewInt("ringCount") <= 1);
    InputHooks::setKeyboardHandler(nullptr, nullptr);
    hooks.uninstall();
}

void tst_GuiColorPage::resetSendsNothingUntilApply()
{
    writeProfiles([](int slot, QSettings &file) {
        file.setValue(QStringLiteral("userPicture/2"), filled(384, 50));
        if (slot == 2)
            file.setValue(QStringLiteral("color/color"), filled(21, 100));
    });
    QVERIFY(gui->start());
    QVERIFY(gui->click(gui->itemByName(QStringLiteral("profileButton2"))));
    QVERIFY(settle());
    QVERIFY(openColorPage());
    QCOMPARE(picture(2).at(0).toInt(), 50);
    QVERIFY(gui->click(item("colorEntry3")));
    q3emu::clearTrace();
    QVERIFY(gui->click(item("colorResetButton")));
    QVERIFY(settle());
    QCOMPARE(commandsSent(), QList<int>());
    QCOMPARE(level("effectIndex"), 0x07);
    QCOMPARE(level("colorLV"), 5);
    QCOMPARE(intOf("speedSlider", "currentIndex"), 5);
    QCOMPARE(intOf("brightnessSlider", "currentIndex"), 7);
    const QVariantList table = listOf(page()->property("colorTable"));
    QCOMPARE(table.mid(0, 6), QVariantList({255, 0, 0, 0, 255, 0}));
    for (int i = 0; i < 5; ++i)
        QCOMPARE(picture(i), filled(384, 0));
    QCOMPARE(item("redField")->property("text").toString(), QStringLiteral("255"));
    QCOMPARE(item("greenField")->property("text").toString(), QStringLiteral("0"));

    QVERIFY(apply());
    const auto &lighting = q3emu::state().profiles[2].lighting;
    QCOMPARE(int(lighting[0]), 0x07);
    QCOMPARE(int(lighting[2]), 3);
    QCOMPARE(int(lighting[4]), 5);
}

void tst_GuiColorPage::previewRunsOnlyWhileShown()
{
    QVERIFY(gui->start());
    QVERIFY(openColorPage());
    QVERIFY(gui->click(item("groupEffects")));
    QVERIFY(choose(QStringLiteral("effectList"), 7));
    QVERIFY(preview()->property("running").toBool());
    QTRY_VERIFY(previewInt("count") > 0);

    QVERIFY(gui->click(gui->itemByName(QStringLiteral("funcButton0"))));
    QVERIFY(gui->waitForAnimations());
    QVERIFY(!preview()->property("running").toBool());
    const int stopped = previewInt("count");
    QTest::qWait(200);
    QCOMPARE(previewInt("count"), stopped);

    QVERIFY(openColorPage());
    QVERIFY(preview()->property("running").toBool());
    QTRY_VERIFY(previewInt("count") > 0);

    // In the tray nobody sees it either.
    gui->window()->uiController()->onMinimize();
    QTRY_VERIFY(!preview()->property("running").toBool());
    gui->window()->showNormal();
    gui->window()->raise();
    gui->window()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(gui->window()));
    QTRY_VERIFY(preview()->property("running").toBool());

    // A profile change re-reads the page and the preview goes on.
    QVERIFY(gui->click(gui->itemByName(QStringLiteral("profileButton1"))));
    QVERIFY(settle());
    QVERIFY(preview()->property("running").toBool() || level("effectIndex") < 0 ||
            level("effectIndex") > 0x0B);
}

GUITEST_MAIN(tst_GuiColorPage)
#include "tst_gui_colorpage.moc"
