// The main window as a user meets it: top menu, busy lock, function and
// profile menus, bottom menu and the update button, on the emulated keyboard
// in a copy of what ships, with real pointer events.
#include "guiharness.h"

#include "myquickview.h"
#include "widget.h"

#include <QQuickItem>
#include <QtTest>

using guitest::GuiWindow;

class tst_GuiMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void topMenuSettingsTogglesThePanel();
    void minimizeHidesAndCloseCloses();
    void busyLockSwallowsClicks();

private:
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

void tst_GuiMainWindow::topMenuSettingsTogglesThePanel()
{
    QVERIFY(gui->start());
    QQuickItem *settings = gui->itemByName(QStringLiteral("settingsButton"));
    QVERIFY(settings);
    QObject *menu = settings->parentItem();
    QVERIFY(menu);
    QCOMPARE(menu->property("isGlobalSettingSelect").toBool(), false);

    QVERIFY(gui->click(settings));
    QCOMPARE(menu->property("isGlobalSettingSelect").toBool(), true);
    QVERIFY(gui->waitForAnimations());
    QVERIFY(gui->click(settings));
    QCOMPARE(menu->property("isGlobalSettingSelect").toBool(), false);
    QVERIFY(gui->waitForAnimations());
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
    QQuickItem *indicator = gui->itemByName(QStringLiteral("busyIndicator"));
    QQuickItem *settings = gui->itemByName(QStringLiteral("settingsButton"));
    QVERIFY(indicator && settings);
    QVERIFY(!indicator->isVisible());

    QMetaObject::invokeMethod(gui->root(), "setProtectUI", Q_ARG(QVariant, 1500));
    QVERIFY(indicator->isVisible());
    QVERIFY(!gui->view()->isEnabled());
    QVERIFY(gui->click(settings));
    QCOMPARE(settings->parentItem()->property("isGlobalSettingSelect").toBool(), false);

    QVERIFY(gui->waitUntilIdle());
    QVERIFY(!indicator->isVisible());
    QVERIFY(gui->click(settings));
    QCOMPARE(settings->parentItem()->property("isGlobalSettingSelect").toBool(), true);
}

GUITEST_MAIN(tst_GuiMainWindow)
#include "tst_gui_mainwindow.moc"
