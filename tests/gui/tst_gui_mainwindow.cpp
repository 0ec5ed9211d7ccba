// The main window as a user meets it: top menu, busy lock, function and
// profile menus, bottom menu and the update button, on the emulated keyboard
// in a copy of what ships, with real pointer events.
#include "guiharness.h"
#include "linkfixture.h"
#include "scripteddialogs.h"

#include "myquickview.h"
#include "widget.h"

#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickItem>
#include <QSignalSpy>
#include <QtTest>

using guitest::GuiWindow;

namespace {

// A spot of the window where only the background and the drag area lie.
const QPointF kBackground(60, 470);

// The 21H packets sent since the trace was last cleared, by profile.
QList<int> profileCommands()
{
    QList<int> profiles;
    for (const q3emu::TraceEntry &entry : fixture::traceOf(q3emu::TraceEntry::Kind::FeatureSent)) {
        if (entry.bytes.size() >= 3 && entry.bytes[1] == 0x21)
            profiles.append(entry.bytes[2]);
    }
    return profiles;
}

} // namespace

class tst_GuiMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void freshFolderStartsWithDefaultProfiles();
    void topMenuSettingsTogglesThePanel();
    void minimizeHidesAndCloseCloses();
    void busyLockSwallowsClicks();
    void backgroundDragMovesTheWindow();
    void backgroundPressClosesProfileMenu();
    void functionMenuOpensSwapsAndClosesPages();
    void openPanelDimsAndBlocksTheRest();
    void updateButtonFollowsFirmware_data();
    void updateButtonFollowsFirmware();
    void profileMenuLoad_data();
    void profileMenuLoad();
    void profileButtonsSelectOnTheKeyboard();
    void keyboardReportedProfileIsShownAndSent();
    void bottomMenuLocksForItsTimes_data();
    void bottomMenuLocksForItsTimes();
    void keyLabelsFollowTheLayout_data();
    void keyLabelsFollowTheLayout();

private:
    QQuickItem *item(const char *name) const { return gui->itemByName(QString::fromLatin1(name)); }
    QPoint background() const { return gui->screenPoint(kBackground); }

    std::unique_ptr<GuiWindow> gui;
};

void tst_GuiMainWindow::init()
{
    gui = std::make_unique<GuiWindow>();
}

void tst_GuiMainWindow::cleanup()
{
    gui.reset();
}

void tst_GuiMainWindow::freshFolderStartsWithDefaultProfiles()
{
    // What ships has the default profile only; the slots are made from it.
    for (int slot = 1; slot <= 4; ++slot)
        QVERIFY(!gui->folder().exists(QStringLiteral("modules/setting/p%1.bin").arg(slot)));
    const QByteArray defaults = gui->folder().read(QStringLiteral("modules/setting/pD.bin"));
    QVERIFY(!defaults.isEmpty());

    QVERIFY(gui->start());
    for (int slot = 1; slot <= 4; ++slot)
        QCOMPARE(gui->folder().read(QStringLiteral("modules/setting/p%1.bin").arg(slot)), defaults);
    QCOMPARE(gui->rootProperty("profile").toInt(), 0);
    QVERIFY(gui->isShown(item("keyboardPicture")));

    // Switching to another slot reads it as the default profile too.
    QVERIFY(gui->click(item("profileButton3")));
    QCOMPARE(gui->rootProperty("profile").toInt(), 3);
    QCOMPARE(gui->view()->activeProfile(), uchar(3));
    QCOMPARE(gui->folder().read(QStringLiteral("modules/setting/p4.bin")), defaults);
}

void tst_GuiMainWindow::topMenuSettingsTogglesThePanel()
{
    QVERIFY(gui->start());
    QQuickItem *settings = item("settingsButton");
    QQuickItem *panel = item("settingsPanel");
    QQuickItem *page = item("pageGlobalsetting");
    QVERIFY(settings && panel && page);
    QVERIFY(!panel->isVisible());

    QVERIFY(gui->click(settings));
    QVERIFY(panel->isVisible());
    QVERIFY(gui->waitForAnimations());
    QCOMPARE(page->x(), 0.0);
    QVERIFY(gui->isShown(item("applyButton")));

    QVERIFY(gui->click(settings));
    QVERIFY(gui->waitForAnimations());
    QCOMPARE(page->x(), -panel->width());
    QVERIFY(!panel->isVisible());

    // A second press while the panel still slides in ends that slide first.
    QVERIFY(gui->click(settings));
    QVERIFY(gui->click(settings));
    QVERIFY(gui->waitForAnimations());
    QVERIFY(!panel->isVisible());
    QCOMPARE(page->x(), -panel->width());
}

void tst_GuiMainWindow::minimizeHidesAndCloseCloses()
{
    QVERIFY(gui->start());
    QVERIFY(gui->click(QStringLiteral("minimizeButton")));
    QTRY_VERIFY(!gui->window()->isVisible());
    // The tray brings it back.
    emit gui->window()->tray()->activated(QSystemTrayIcon::DoubleClick);
    QTRY_VERIFY(gui->window()->isVisible());
    QVERIFY(QTest::qWaitForWindowExposed(gui->window()));

    QVERIFY(gui->click(QStringLiteral("closeButton")));
    QTRY_VERIFY(!gui->window()->isVisible());
}

void tst_GuiMainWindow::busyLockSwallowsClicks()
{
    QVERIFY(gui->start());
    QQuickItem *indicator = item("busyIndicator");
    QQuickItem *settings = item("settingsButton");
    QVERIFY(indicator && settings);
    QVERIFY(!indicator->isVisible());

    QMetaObject::invokeMethod(gui->root(), "setProtectUI", Q_ARG(QVariant, 1500));
    QVERIFY(indicator->isVisible());
    QVERIFY(!gui->view()->isEnabled());
    QVERIFY(gui->click(settings));
    QCOMPARE(item("settingsPanel")->isVisible(), false);

    QVERIFY(gui->waitUntilIdle());
    QVERIFY(!indicator->isVisible());
    QVERIFY(gui->click(settings));
    QCOMPARE(item("settingsPanel")->isVisible(), true);
}

void tst_GuiMainWindow::backgroundDragMovesTheWindow()
{
    QVERIFY(gui->start());
    gui->window()->move(40, 30);
    QTRY_COMPARE(gui->window()->pos(), QPoint(40, 30));
    const QPoint start = gui->window()->pos();
    const QPoint from = background();
    QVERIFY(gui->drag(from, from + QPoint(60, 45), 6));
    QTRY_COMPARE(gui->window()->pos(), start + QPoint(60, 45));
}

void tst_GuiMainWindow::backgroundPressClosesProfileMenu()
{
    QVERIFY(gui->start());
    QQuickItem *menu = item("profileMenu");
    QVERIFY(menu);
    QVERIFY(gui->rightClick(item("profileButton1")));
    QVERIFY(menu->property("open").toBool());
    QVERIFY(gui->waitForAnimations());
    QVERIFY(gui->isShown(item("profileMenuLoad")));

    QVERIFY(gui->click(background()));
    QVERIFY(!menu->property("open").toBool());
    QVERIFY(gui->waitForAnimations());
    QVERIFY(!menu->isVisible());
    // Closing asked nothing of the keyboard and left the profile alone.
    QCOMPARE(gui->rootProperty("profile").toInt(), 0);

    // CANCEL only closes.
    QVERIFY(gui->rightClick(item("profileButton2")));
    QVERIFY(gui->waitForAnimations());
    q3emu::clearTrace();
    QVERIFY(gui->click(item("profileMenuCancel")));
    QVERIFY(!menu->property("open").toBool());
    QVERIFY(gui->waitForAnimations());
    QVERIFY(!menu->isVisible());
    QVERIFY(profileCommands().isEmpty());
}

void tst_GuiMainWindow::functionMenuOpensSwapsAndClosesPages()
{
    QVERIFY(gui->start());
    QQuickItem *main = item("mainQ3");
    QQuickItem *content = item("pageContent");
    QQuickItem *picture = item("keyboardPicture");
    QVERIFY(main && content && picture);
    QCOMPARE(main->property("shownPage").toInt(), -1);
    QVERIFY(gui->isShown(picture));

    // Each page swap, with where the page content stood at that moment.
    QList<QPair<int, qreal>> swaps;
    guitest::PropertyWatch watch(main, "shownPage", [&] {
        swaps.append({main->property("shownPage").toInt(), content->x()});
    });
    QVERIFY(watch.isValid());
    const qreal outside = -2 * item("pageArea")->width();

    QVERIFY(gui->click(item("funcButton0")));
    QVERIFY(gui->waitForAnimations());
    QCOMPARE(main->property("shownPage").toInt(), 0);
    QCOMPARE(content->x(), 0.0);
    QVERIFY(gui->isShown(item("keyPage")));
    QVERIFY(!picture->isVisible());

    // Another entry: the old page slides all the way out before the new one
    // is put in and slides in.
    QCOMPARE(swaps, (QList<QPair<int, qreal>>{{0, outside}}));
    QVERIFY(gui->click(item("funcButton2")));
    QCOMPARE(main->property("shownPage").toInt(), 0);
    QVERIFY(gui->waitForAnimations());
    QCOMPARE(swaps, (QList<QPair<int, qreal>>{{0, outside}, {2, outside}}));
    QCOMPARE(content->x(), 0.0);
    QVERIFY(gui->isShown(item("colorPage")));
    QVERIFY(!item("keyPage")->isVisible());
    QCOMPARE(item("menuFunc")->property("currentIndex").toInt(), 2);

    // The selected entry again closes its page.
    QVERIFY(gui->click(item("funcButton2")));
    QVERIFY(gui->waitForAnimations());
    QCOMPARE(swaps.last(), qMakePair(-1, outside));
    QCOMPARE(main->property("shownPage").toInt(), -1);
    QCOMPARE(item("menuFunc")->property("currentIndex").toInt(), -1);
    QVERIFY(!item("colorPage")->isVisible());
    QVERIFY(gui->isShown(picture));
}

void tst_GuiMainWindow::openPanelDimsAndBlocksTheRest()
{
    QVERIFY(gui->start());
    QVERIFY(gui->click(item("settingsButton")));
    QVERIFY(gui->waitForAnimations());

    for (const char *name : {"menuFunc", "menuProf", "menuDown", "pageArea", "updateButton"}) {
        QQuickItem *dimmed = item(name);
        QVERIFY2(dimmed, name);
        QCOMPARE(dimmed->opacity(), 0.2);
        QVERIFY2(!dimmed->isEnabled(), name);
    }
    QCOMPARE(item("settingsButton")->opacity(), 1.0);

    q3emu::clearTrace();
    QObject *timer = gui->objectByName(QStringLiteral("protectTimer"));
    QVERIFY(gui->click(item("funcButton0")));
    QVERIFY(gui->click(item("allSaveButton")));
    QVERIFY(gui->click(item("allResetButton")));
    QVERIFY(gui->click(gui->centreOf(item("profileButton2"))));
    QVERIFY(gui->rightClick(gui->centreOf(item("profileButton2"))));
    QVERIFY(gui->waitForAnimations());
    QCOMPARE(item("menuFunc")->property("currentIndex").toInt(), -1);
    QCOMPARE(item("mainQ3")->property("shownPage").toInt(), -1);
    QVERIFY(!timer->property("running").toBool());
    QCOMPARE(gui->rootProperty("profile").toInt(), 0);
    QVERIFY(!item("profileMenu")->property("open").toBool());
    QVERIFY(profileCommands().isEmpty());

    // Closed again, everything answers.
    QVERIFY(gui->click(item("settingsButton")));
    QVERIFY(gui->waitForAnimations());
    QCOMPARE(item("menuFunc")->opacity(), 1.0);
    QVERIFY(gui->click(item("funcButton0")));
    QCOMPARE(item("menuFunc")->property("currentIndex").toInt(), 0);
}

void tst_GuiMainWindow::updateButtonFollowsFirmware_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<bool>("shown");
    QTest::newRow("02.03, the expected firmware") << 0x0203 << false;
    QTest::newRow("02.01, older") << 0x0201 << true;
    QTest::newRow("03.00, another") << 0x0300 << true;
    QTest::newRow("version 0 reported") << 0 << true;
}

void tst_GuiMainWindow::updateButtonFollowsFirmware()
{
    QFETCH(int, version);
    QFETCH(bool, shown);
    QVERIFY(gui->folder().write(QStringLiteral("modules/update/romwriter"),
                                "#!/bin/sh\ntouch updater-started\n"));
    QFile::setPermissions(gui->folder().path(QStringLiteral("modules/update/romwriter")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    q3emu::KeyboardState state = q3emu::factoryState();
    state.firmwareVersion = uint16_t(version);
    QVERIFY(gui->start(state));

    QQuickItem *update = item("updateButton");
    QVERIFY(update);
    QCOMPARE(gui->isShown(update), shown);
    QCOMPARE(gui->rootProperty("isShowUpdateBtn").toBool(), !shown);
    if (!shown) {
        // Where it would be, the background answers instead.
        QVERIFY(gui->click(gui->centreOf(update)));
        QTest::qWait(700);
        QVERIFY(!gui->folder().exists(QStringLiteral("updater-started")));
        return;
    }
    QVERIFY(gui->click(update));
    QTRY_VERIFY(gui->folder().exists(QStringLiteral("updater-started")));
    QVERIFY(!gui->window()->link().isMonitorRunning());
    for (QProcess *updater : gui->view()->findChildren<QProcess *>())
        updater->waitForFinished(10000);
}

void tst_GuiMainWindow::profileMenuLoad_data()
{
    QTest::addColumn<int>("target");
    QTest::newRow("into another profile") << 2;
    QTest::newRow("into the selected profile") << 0;
}

void tst_GuiMainWindow::profileMenuLoad()
{
    QFETCH(int, target);
    ScriptedDialogs dialogs;
    const QByteArray exported =
        gui->folder().read(QStringLiteral("modules/setting/pD.bin")) + "\n[gui]\nmarker=exported\n";
    QVERIFY(gui->folder().write(QStringLiteral("export.pf"), exported));
    dialogs.answer = gui->folder().path(QStringLiteral("export.pf"));

    QVERIFY(gui->start());
    QCOMPARE(gui->rootProperty("profile").toInt(), 0);
    QSignalSpy reloads(item("menuProf"), SIGNAL(indexChanged_btn(int)));
    q3emu::clearTrace();

    QVERIFY(gui->rightClick(item(qPrintable(QStringLiteral("profileButton%1").arg(target)))));
    QVERIFY(gui->waitForAnimations());
    QVERIFY(gui->click(item("profileMenuLoad")));
    QCOMPARE(dialogs.opened.size(), 1);
    QCOMPARE(gui->folder().read(QStringLiteral("modules/setting/p%1.bin").arg(target + 1)), exported);
    QVERIFY(!item("profileMenu")->property("open").toBool());

    // The selection stays; only a load into the selected profile reloads
    // the pages, and neither tells the keyboard of another profile.
    QCOMPARE(gui->rootProperty("profile").toInt(), 0);
    QCOMPARE(item("menuProf")->property("currentIndex").toInt(), 0);
    QCOMPARE(gui->view()->activeProfile(), uchar(0));
    if (target == 0) {
        QCOMPARE(reloads.size(), 1);
        QCOMPARE(reloads.first().first().toInt(), 0);
    } else {
        QCOMPARE(reloads.size(), 0);
        QVERIFY(profileCommands().isEmpty());
    }
    QCOMPARE(q3emu::state().activeProfile, uint8_t(0));
}

void tst_GuiMainWindow::profileButtonsSelectOnTheKeyboard()
{
    QVERIFY(gui->start());
    q3emu::clearTrace();
    QVERIFY(gui->click(item("profileButton2")));
    QCOMPARE(gui->rootProperty("profile").toInt(), 2);
    QCOMPARE(item("profileButton2")->property("selected").toBool(), true);
    QCOMPARE(item("profileButton0")->property("selected").toBool(), false);
    QTRY_COMPARE(q3emu::state().activeProfile, uint8_t(2));
    QCOMPARE(profileCommands(), QList<int>{2});

    // The selected one again changes nothing.
    QVERIFY(gui->click(item("profileButton2")));
    QVERIFY(fixture::waitUntilIdle(gui->window()->link()));
    QCOMPARE(profileCommands(), QList<int>{2});
}

void tst_GuiMainWindow::keyboardReportedProfileIsShownAndSent()
{
    QVERIFY(gui->start());
    QTRY_VERIFY(gui->window()->link().isMonitorRunning());
    q3emu::clearTrace();

    q3emu::pressProfileKey(3);
    QTRY_COMPARE(gui->rootProperty("profile").toInt(), 3);
    QCOMPARE(item("menuProf")->property("currentIndex").toInt(), 3);
    QVERIFY(item("profileButton3")->property("selected").toBool());
    QTRY_COMPARE(profileCommands(), QList<int>{3});
    QCOMPARE(gui->view()->activeProfile(), uchar(3));

    // A report of the profile already shown sends nothing.
    fixture::DebugCapture debug;
    q3emu::clearTrace();
    q3emu::pressLightingKeys(2, 3, 1);
    QTRY_VERIFY(debug.lines().contains(QStringLiteral("zzzTovrin 3 2 3 1")));
    QVERIFY(fixture::waitUntilIdle(gui->window()->link()));
    QVERIFY(profileCommands().isEmpty());
    QCOMPARE(gui->rootProperty("profile").toInt(), 3);
}

void tst_GuiMainWindow::bottomMenuLocksForItsTimes_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("lockMs");
    QTest::newRow("ALL SAVE") << "allSaveButton" << 2000;
    QTest::newRow("ALL RESET") << "allResetButton" << 800;
}

void tst_GuiMainWindow::bottomMenuLocksForItsTimes()
{
    QFETCH(QString, button);
    QFETCH(int, lockMs);
    QVERIFY(gui->start());
    QVERIFY(gui->rightClick(item("profileButton1")));
    QVERIFY(gui->waitForAnimations());
    QVERIFY(item("profileMenu")->property("open").toBool());

    QObject *timer = gui->objectByName(QStringLiteral("protectTimer"));
    QVERIFY(gui->click(button));
    QCOMPARE(timer->property("interval").toInt(), lockMs);
    QVERIFY(timer->property("running").toBool());
    QVERIFY(!gui->view()->isEnabled());
    QVERIFY(item("busyIndicator")->isVisible());
    // Pop-up menus close with it.
    QVERIFY(!item("profileMenu")->property("open").toBool());

    // Clicks during the lock are lost.
    QVERIFY(gui->click(item("funcButton1")));
    QCOMPARE(item("menuFunc")->property("currentIndex").toInt(), -1);
    QVERIFY(gui->waitUntilIdle(lockMs + 5000));
    QVERIFY(!item("busyIndicator")->isVisible());
    QVERIFY(gui->click(item("funcButton1")));
    QCOMPARE(item("menuFunc")->property("currentIndex").toInt(), 1);
}

void tst_GuiMainWindow::keyLabelsFollowTheLayout_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<QString>("semicolonKey");
    QTest::newRow("English keyboard") << 0 << "; :";
    QTest::newRow("Spanish keyboard") << 1 << QString::fromUtf8("\xc3\x91");
}

void tst_GuiMainWindow::keyLabelsFollowTheLayout()
{
    QFETCH(int, layout);
    QFETCH(QString, semicolonKey);
    q3emu::KeyboardState state = q3emu::factoryState();
    state.layoutMode = uint8_t(layout);
    QVERIFY(gui->start(state));
    QCOMPARE(gui->rootProperty("layout").toInt(), layout);

    // A key field on the key page, made where the page makes its own: in
    // the main page's document, which holds the key-name converter. The
    // page exists once it has been opened.
    QVERIFY(gui->click(item("funcButton0")));
    QVERIFY(gui->waitForAnimations());
    QQuickItem *page = item("keyPage");
    QVERIFY(page);
    QQmlComponent component(gui->view()->engine());
    component.setData("import QtQuick 2.15\nimport \"qrc:/modules/qml/common\"\nKeyInput { x: 400; y: 60 }\n",
                      QUrl(QStringLiteral("qrc:/modules/qml/Q3/gui_probe.qml")));
    std::unique_ptr<QObject> created(component.create(QQmlEngine::contextForObject(page)));
    QVERIFY2(created, qPrintable(component.errorString()));
    auto *field = qobject_cast<QQuickItem *>(created.get());
    field->setParentItem(page);

    const int semicolon = 0x33;
    QMetaObject::invokeMethod(field, "setKeycodeUSB", Q_ARG(QVariant, semicolon));
    QCOMPARE(field->property("keyname").toString(), semicolonKey);
    QMetaObject::invokeMethod(field, "setKeycodeUSB", Q_ARG(QVariant, 0x04));
    QCOMPARE(field->property("keyname").toString(), QStringLiteral("A"));
}

GUITEST_MAIN(tst_GuiMainWindow)
#include "tst_gui_mainwindow.moc"
