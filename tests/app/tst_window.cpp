// The main window, its tray icon and window control, and the view's own
// operations, on the real QML document and the emulated keyboard.
#include "linkfixture.h"
#include "myquickview.h"
#include "startupfiles.h"
#include "ui_controler.h"
#include "widget.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMenu>
#include <QQmlContext>
#include <QQuickItem>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <memory>

class tst_Window : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void windowIsFramelessTranslucentAndTitled();
    void trayRestoresOnlyOnDoubleClick();
    void controllerMovesAndHides();
    void setBusyCallsQmlAtOnce_data();
    void setBusyCallsQmlAtOnce();
    void startUpCallsQmlInOrder();
    void quitPaths_data();
    void quitPaths();
    void noKeyboardStillRunsTheLoop();
    void keyboardEventsReachQml();
    void syncFwReadsModeAndProfile();
    void skinChoiceNeedsTwoFolders_data();
    void skinChoiceNeedsTwoFolders();
    void updaterStartsAfterMonitorStops();
    void updaterOutlivesTheWindow();

private:
    // A window as start-up builds it, up to the event loop.
    void startWindow(q3emu::Scenario scenario = q3emu::Scenario::Keyboard);
    QObject *qmlChild(const char *name) const;

    std::unique_ptr<ProgramFolder> folder;
    std::unique_ptr<Widget> window;
};

void tst_Window::init()
{
    folder = std::make_unique<ProgramFolder>();
    QVERIFY(writeStartupFiles(*folder, QStringLiteral("gearpanel under test")));
    q3emu::reset(q3emu::Scenario::Keyboard);
    q3emu::setReportDelay(std::chrono::microseconds(0));
}

void tst_Window::cleanup()
{
    window.reset();
    folder.reset();
}

void tst_Window::startWindow(q3emu::Scenario scenario)
{
    q3emu::reset(scenario);
    q3emu::setReportDelay(std::chrono::microseconds(0));
    window = std::make_unique<Widget>();
    window->checkDevice();
    window->showNormal();
}

QObject *tst_Window::qmlChild(const char *name) const
{
    QQuickItem *root = window->view()->rootObject();
    return root ? root->findChild<QObject *>(QString::fromLatin1(name)) : nullptr;
}

void tst_Window::windowIsFramelessTranslucentAndTitled()
{
    startWindow();
    QCOMPARE(window->windowFlags(), Qt::Window | Qt::FramelessWindowHint | Qt::CustomizeWindowHint);
    QVERIFY(window->testAttribute(Qt::WA_TranslucentBackground));
    QCOMPARE(window->windowTitle(), QStringLiteral("gearpanel under test"));
    QCOMPARE(window->objectName(), QStringLiteral("Widget"));
    QCOMPARE(window->size(), QSize(1000, 600));

    myQQuickView *view = window->view();
    QCOMPARE(view->objectName(), QStringLiteral("ui_View"));
    QVERIFY(view->rootObject());
    QQmlContext *context = view->rootContext();
    QCOMPARE(context->contextProperty("ui_View").value<QObject *>(), view);
    QCOMPARE(context->contextProperty("hid").value<QObject *>(), &window->link());
    QCOMPARE(context->contextProperty("ui_Ctl").value<QObject *>(), window->uiController());

    QSystemTrayIcon *tray = window->tray();
    QCOMPARE(tray->toolTip(), QStringLiteral("Keyboard"));
    QMenu *menu = tray->contextMenu();
    QVERIFY(menu);
    QCOMPARE(menu->actions().size(), 1);
    QCOMPARE(menu->actions().first()->text(), QStringLiteral("Quit (&Q)"));
    QVERIFY(menu->styleSheet().startsWith(QStringLiteral("QMenu { border: 1px solid rgb(100, 100, 100);")));
    QVERIFY(menu->styleSheet().endsWith(QStringLiteral("padding-right: 2px; } ")));
}

void tst_Window::trayRestoresOnlyOnDoubleClick()
{
    startWindow();
    window->uiController()->onMinimize();
    QVERIFY(!window->isVisible());

    for (auto reason : {QSystemTrayIcon::Trigger, QSystemTrayIcon::Context, QSystemTrayIcon::MiddleClick}) {
        emit window->tray()->activated(reason);
        QCoreApplication::processEvents();
        QVERIFY2(!window->isVisible(), "only a double click restores");
    }

    emit window->tray()->activated(QSystemTrayIcon::DoubleClick);
    // Posted, not immediate: the restore follows what is already queued.
    QVERIFY(!window->isVisible());
    QTRY_VERIFY(window->isVisible());
}

void tst_Window::controllerMovesAndHides()
{
    startWindow();
    Ui_Controler *control = window->uiController();
    window->move(100, 120);
    QCoreApplication::processEvents();
    const QPoint start = window->pos();

    control->onXChanged(15);
    QCOMPARE(window->pos(), start + QPoint(15, 0));
    control->onYChanged(-7);
    QCOMPARE(window->pos(), start + QPoint(15, -7));

    control->onMinimize();
    QVERIFY(!window->isVisible());
    QVERIFY(window->tray()->isVisible() || !QSystemTrayIcon::isSystemTrayAvailable());

    // Without a window every operation is a no-op.
    Ui_Controler detached;
    detached.onXChanged(5);
    detached.onClose();
    detached.setBusy(10);
}

void tst_Window::setBusyCallsQmlAtOnce_data()
{
    QTest::addColumn<bool>("withArgument");
    QTest::addColumn<int>("busyTime");
    QTest::newRow("250 ms") << true << 250;
    QTest::newRow("no argument") << false << 0;
}

void tst_Window::setBusyCallsQmlAtOnce()
{
    QFETCH(bool, withArgument);
    QFETCH(int, busyTime);
    startWindow();
    QObject *timer = qmlChild("protectTimer");
    QObject *indicator = qmlChild("busyIndicator");
    QVERIFY(timer && indicator);

    if (withArgument)
        window->uiController()->setBusy(busyTime);
    else
        window->uiController()->setBusy();

    // Synchronous: locked before setBusy returns.
    QCOMPARE(timer->property("interval").toInt(), busyTime);
    QVERIFY(timer->property("running").toBool());
    QVERIFY(indicator->property("visible").toBool());
    QVERIFY(!window->view()->isEnabled());

    QTRY_VERIFY(window->view()->isEnabled());
    QVERIFY(!indicator->property("visible").toBool());
}

void tst_Window::startUpCallsQmlInOrder()
{
    fixture::DebugCapture debug;
    startWindow();
    QSignalSpy keys(window->view()->rootObject(), SIGNAL(msg_KB(bool, int)));

    window->startUi();
    QVERIFY2(!window->view()->isEnabled(), "the start-up lock is taken before startUi returns");
    // A burst of key events right behind the start-up calls.
    const QList<int> codes{4, 5, 6, 0xE1, 4, 0xF0};
    for (int i = 0; i < codes.size(); ++i)
        window->view()->detectKeyboard(i % 2 == 0, uchar(codes[i]));

    QTRY_COMPARE(keys.size(), codes.size());
    for (int i = 0; i < codes.size(); ++i) {
        QCOMPARE(keys.at(i).at(0).toBool(), i % 2 == 0);
        QCOMPARE(keys.at(i).at(1).toInt(), codes[i]);
    }
    QTRY_VERIFY(debug.lines().contains(QStringLiteral("run")));
    const QStringList lines = debug.lines();
    QVERIFY(lines.indexOf(QStringLiteral("initUI")) < lines.indexOf(QStringLiteral("run")));
    QCOMPARE(debug.count(QStringLiteral("initUI")), 1);
    QTRY_VERIFY(window->view()->isEnabled());
}

void tst_Window::quitPaths_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("tray menu") << "tray";
    QTest::newRow("close button in QML") << "qml";
}

void tst_Window::quitPaths()
{
    QFETCH(QString, path);
    startWindow();
    window->startUi();
    QTimer::singleShot(200, this, [&] {
        if (path == QLatin1String("tray")) {
            window->tray()->contextMenu()->actions().first()->trigger();
        } else {
            QObject *close = qmlChild("closeButton");
            QVERIFY(close);
            QMetaObject::invokeMethod(close, "clicked");
        }
    });
    // A guard so that a broken quit path fails instead of hanging.
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, qApp, [] { QCoreApplication::exit(99); });
    guard.start(10000);

    QCOMPARE(QApplication::exec(), 0);
    if (path == QLatin1String("qml"))
        QVERIFY(!window->isVisible());
}

void tst_Window::noKeyboardStillRunsTheLoop()
{
    fixture::DebugCapture debug;
    startWindow(q3emu::Scenario::NoKeyboard);
    QVERIFY(!window->link().isMonitorRunning());
    window->startUi();
    QTimer::singleShot(0, this, [&] {
        QTRY_VERIFY(debug.lines().contains(QStringLiteral("run")));
        QCoreApplication::quit();
    });
    QCOMPARE(QApplication::exec(), 0);
    QVERIFY(window->isVisible());
}

void tst_Window::keyboardEventsReachQml()
{
    fixture::DebugCapture debug;
    startWindow();
    QTRY_VERIFY(window->link().isMonitorRunning());
    q3emu::pressLightingKeys(5, 3, 1);
    QTRY_VERIFY(debug.lines().contains(QStringLiteral("zzzTovrin 0 5 3 1")));
    // The profile key announces the new profile with its own lighting.
    q3emu::pressProfileKey(2);
    QTRY_VERIFY(debug.lines().contains(QStringLiteral("zzzTovrin 2 0 63 3")));
    QTRY_COMPARE(window->view()->rootObject()->property("profile").toInt(), 2);
}

void tst_Window::syncFwReadsModeAndProfile()
{
    // Before the keyboard is asked, the hardware definition's layout 0 holds.
    myQQuickView view;
    QCOMPARE(view.keyboardLayout(), uchar(0));
    QCOMPARE(view.keyCodeMap().value(QStringLiteral("A")), uchar(4));

    startWindow();
    q3emu::KeyboardState state = q3emu::factoryState();
    state.layoutMode = 1;
    state.activeProfile = 2;
    q3emu::setState(state);
    window->view()->syncFW();
    QCOMPARE(window->view()->keyboardLayout(), uchar(1));
    QCOMPARE(window->view()->activeProfile(), uchar(2));
    const QMap<QString, uchar> codes = window->view()->keyCodeMap();
    QCOMPARE(codes.size(), 2);
    QCOMPARE(codes.value(QString::fromUtf8("\xc3\x91")), uchar(51));
    QVERIFY(!codes.contains(QStringLiteral("A")));
}

void tst_Window::skinChoiceNeedsTwoFolders_data()
{
    QTest::addColumn<int>("skins");
    QTest::addColumn<bool>("offered");
    QTest::newRow("no image folder") << -1 << false;
    QTest::newRow("empty image folder") << 0 << false;
    QTest::newRow("one skin") << 1 << false;
    QTest::newRow("two skins") << 2 << true;
}

void tst_Window::skinChoiceNeedsTwoFolders()
{
    QFETCH(int, skins);
    QFETCH(bool, offered);
    if (skins >= 0)
        QVERIFY(QDir().mkpath(QStringLiteral("modules/img")));
    for (int i = 1; i <= skins; ++i)
        QVERIFY(QDir().mkpath(QStringLiteral("modules/img/skin%1").arg(i)));
    // Files beside the skins are not skins.
    if (skins >= 0)
        folder->write(QStringLiteral("modules/img/logo.ico"), "icon");
    myQQuickView view;
    QCOMPARE(view.getIsSkinShow(), offered);
}

void tst_Window::updaterStartsAfterMonitorStops()
{
    // The stand-in updater holds on until the test lets it go.
    folder->write(QStringLiteral("modules/update/romwriter"),
                  "#!/bin/sh\ntouch started\nwhile [ ! -e release ]; do sleep 0.05; done\n");
    QFile::setPermissions(folder->path(QStringLiteral("modules/update/romwriter")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    startWindow();
    QTRY_VERIFY(window->link().isMonitorRunning());

    QElapsedTimer elapsed;
    elapsed.start();
    window->view()->openUpdateExe();
    QVERIFY(elapsed.elapsed() >= 500);
    QVERIFY(!window->link().isMonitorRunning());
    QTRY_VERIFY(QFile::exists(QStringLiteral("started")));

    // The updater holds the keyboard now: what happens there is not watched.
    fixture::DebugCapture debug;
    q3emu::pressProfileKey(3);
    QTest::qWait(700);
    QVERIFY(!debug.lines().join('\n').contains(QStringLiteral("zzzTovrin")));
    QVERIFY(!window->link().isMonitorRunning());

    // Once it has ended, the keyboard (still in normal mode) is watched again.
    folder->write(QStringLiteral("release"), "");
    QTRY_VERIFY(window->link().isMonitorRunning());
    q3emu::pressProfileKey(1);
    QTRY_VERIFY(debug.lines().join('\n').contains(QStringLiteral("zzzTovrin 1")));
}

void tst_Window::updaterOutlivesTheWindow()
{
    // Closing gearpanel in the middle of an update must not kill romwriter
    // while it programs the keyboard.
    folder->write(QStringLiteral("modules/update/romwriter"),
                  "#!/bin/sh\ntouch started\nwhile [ ! -e release ]; do sleep 0.05; done\ntouch finished\n");
    QFile::setPermissions(folder->path(QStringLiteral("modules/update/romwriter")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    startWindow();
    window->view()->openUpdateExe();
    QTRY_VERIFY(QFile::exists(QStringLiteral("started")));
    window.reset();
    folder->write(QStringLiteral("release"), "");
    QTRY_VERIFY(QFile::exists(QStringLiteral("finished")));
}

QTEST_MAIN(tst_Window)
#include "tst_window.moc"
