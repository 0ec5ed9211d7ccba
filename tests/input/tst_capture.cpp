// Global capture end to end on a real X server (the suite's Xvfb): events
// injected with XTEST, directly and through xdotool, reach the handlers,
// and through the view of a main window in this process reach QML's msg_KB,
// in order and with the right usages.
#include "debugcapture.h"
#include "eventlog.h"
#include "inputhooks.h"
#include "keytables.h"
#include "keyrows.h"
#include "linkfixture.h"
#include "myquickview.h"
#include "privatexserver.h"
#include "programfolder.h"
#include "ui_controler.h"
#include "widget.h"

#include <QApplication>
#include <QProcess>
#include <QQuickItem>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace {

QStringList g_log;

myQQuickView *viewOf(void *window)
{
    return window ? static_cast<Widget *>(window)->uiController()->quickView() : nullptr;
}

// As start-up wires them, and logged.
void forwardKey(uint8_t usage, bool isDown, void *window)
{
    g_log.append(keyEvent(usage, isDown));
    if (myQQuickView *view = viewOf(window))
        view->detectKeyboard(isDown, usage);
}

void forwardButton(uint8_t code, bool isDown, int32_t x, int32_t y, void *window)
{
    g_log.append(buttonEvent(code, isDown, x, y));
    if (myQQuickView *view = viewOf(window))
        view->detectMouse(isDown, code, uint(x), uint(y));
}

InputHooks *g_hooks = nullptr;

void uninstallOnFirstKey(uint8_t usage, bool isDown, void *)
{
    g_log.append(keyEvent(usage, isDown));
    g_hooks->uninstall();
}

bool xdotool(const QStringList &args)
{
    QProcess tool;
    tool.start(QStringLiteral("xdotool"), args);
    return tool.waitForFinished(20000) && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
}

// The msg_KB calls seen so far, in the handlers' notation.
QStringList qmlKeys(const QSignalSpy &spy)
{
    QStringList keys;
    for (const QList<QVariant> &call : spy)
        keys.append(keyEvent(uint8_t(call.at(1).toInt()), call.at(0).toBool()));
    return keys;
}

} // namespace

class tst_Capture : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void everyTableKeyThroughX_data();
    void everyTableKeyThroughX();
    void modifierOverridesThroughX_data();
    void modifierOverridesThroughX();
    void typedTextReachesQmlInOrder();
    void heldKeysAndModifierCombinations();
    void clicksAnywhere_data();
    void clicksAnywhere();
    void wheelAndExtraButtonsAreNotReported();
    void handlerMayUninstall();
    void noRecordExtensionMeansNoCapture();
    void serverGoingAwayStopsCapture();

private:
    void inject(uint8_t keycode, bool press);
    QObject *root() const { return window->view()->rootObject(); }

    Display *injector = nullptr;
    std::unique_ptr<ProgramFolder> folder;
    std::unique_ptr<Widget> window;
    InputHooks hooks;
};

void tst_Capture::initTestCase()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        QSKIP("needs an X server (the suite runs under xvfb-run)");
    injector = XOpenDisplay(nullptr);
    QVERIFY(injector);
    int event, error, major, minor;
    QVERIFY2(XTestQueryExtension(injector, &event, &error, &major, &minor), "the X server has no XTEST");

    folder = std::make_unique<ProgramFolder>();
    QVERIFY(folder->write(QStringLiteral("modules/setting/HWDef.bin"), "[common]\nkbLayoutType=0\n"));
    q3emu::reset(q3emu::Scenario::Keyboard);
    window = std::make_unique<Widget>();
    window->showNormal();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));

    g_hooks = &hooks;
    QVERIFY(hooks.install(input::hashTildeLayoutFor(window->view()->keyboardLayout())));
    QVERIFY(InputHooks::isInstalled());
    InputHooks::setKeyboardHandler(forwardKey, window.get());
    InputHooks::setMouseHandler(forwardButton, window.get());
}

void tst_Capture::init()
{
    if (!InputHooks::isInstalled()) {
        QVERIFY(hooks.install(input::hashTildeLayoutFor(window->view()->keyboardLayout())));
        InputHooks::setKeyboardHandler(forwardKey, window.get());
    }
    // Whatever an earlier test left in flight arrives before the next starts.
    QTest::qWait(20);
    g_log.clear();
}

void tst_Capture::cleanupTestCase()
{
    hooks.uninstall();
    window.reset();
    folder.reset();
    if (injector)
        XCloseDisplay(injector);
}

void tst_Capture::inject(uint8_t keycode, bool press)
{
    XTestFakeKeyEvent(injector, keycode, press ? True : False, CurrentTime);
    XFlush(injector);
}

void tst_Capture::everyTableKeyThroughX_data()
{
    QTest::addColumn<int>("linuxCode");
    QTest::addColumn<int>("usage");
    for (const KeyRow &row : kKeyRows) {
        // The view's layout 0 is the English ANSI keyboard: backslash at 0x2B.
        QTest::newRow(row.name) << int(row.linuxCode) << int(row.usage);
    }
}

void tst_Capture::everyTableKeyThroughX()
{
    QFETCH(int, linuxCode);
    QFETCH(int, usage);
    QSignalSpy keys(root(), SIGNAL(msg_KB(bool, int)));
    // The keycode is sent whether or not the server's keymap names a symbol
    // for it: the usage follows from the keycode alone.
    inject(uint8_t(linuxCode + 8), true);
    inject(uint8_t(linuxCode + 8), false);
    QTRY_COMPARE(g_log.join(", "), tap(uint8_t(usage)).join(", "));
    QTRY_COMPARE(qmlKeys(keys).join(", "), tap(uint8_t(usage)).join(", "));

    // Lock keys go back to off, so that no later test types with them on.
    if (usage == 0x39 || usage == 0x47 || usage == 0x53) {
        inject(uint8_t(linuxCode + 8), true);
        inject(uint8_t(linuxCode + 8), false);
        QTRY_COMPARE(g_log.size(), 4);
    }
}

void tst_Capture::modifierOverridesThroughX_data()
{
    QTest::addColumn<int>("modifier");
    QTest::addColumn<int>("linuxCode");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("Alt+Print Screen")
        << 56 << 99 << QStringList{"key E2 down", "key 46 down", "key 46 up", "key E2 up"};
    QTest::newRow("Ctrl+Pause") << 29 << 119
                                << QStringList{"key E0 down", "key 48 down", "key 48 up", "key E0 up"};
    QTest::newRow("right Alt+Pause") << 100 << 119
                                     << QStringList{"key E6 down", "key 48 down", "key 48 up", "key E6 up"};
}

void tst_Capture::modifierOverridesThroughX()
{
    QFETCH(int, modifier);
    QFETCH(int, linuxCode);
    QFETCH(QStringList, expected);
    inject(uint8_t(modifier + 8), true);
    inject(uint8_t(linuxCode + 8), true);
    inject(uint8_t(linuxCode + 8), false);
    inject(uint8_t(modifier + 8), false);
    QTRY_COMPARE(g_log.join(", "), expected.join(", "));
}

void tst_Capture::typedTextReachesQmlInOrder()
{
    QSignalSpy keys(root(), SIGNAL(msg_KB(bool, int)));
    // Typed into whatever has the focus; capture sees it all the same.
    QVERIFY(xdotool({"type", "--delay", "15", "gear 42"}));
    const QStringList expected =
        tap(0x0A) + tap(0x08) + tap(0x04) + tap(0x15) + tap(0x2C) + tap(0x21) + tap(0x1F);
    QTRY_COMPARE(g_log.join(", "), expected.join(", "));
    QTRY_COMPARE(qmlKeys(keys).join(", "), expected.join(", "));
}

void tst_Capture::heldKeysAndModifierCombinations()
{
    QSignalSpy keys(root(), SIGNAL(msg_KB(bool, int)));
    // Pressing a key that is already down is what a held key looks like.
    QVERIFY(xdotool({"keydown", "Shift_L", "keydown", "a", "keydown", "a", "keydown", "a", "keyup", "a",
                     "keyup", "Shift_L", "key", "ctrl+b"}));
    // xdotool lets go of the keys of a combination in the order it pressed
    // them.
    QStringList expected{"key E1 down", "key 04 down", "key 04 up", "key E1 up",
                         "key E0 down", "key 05 down", "key E0 up", "key 05 up"};
    QTRY_COMPARE(g_log.join(", "), expected.join(", "));

    // Right Ctrl held, with a key under it.
    const uint8_t rightCtrl = 97 + 8, c = 46 + 8;
    inject(rightCtrl, true);
    inject(rightCtrl, true);
    inject(c, true);
    inject(c, false);
    inject(rightCtrl, false);
    expected += QStringList{"key E4 down", "key 06 down", "key 06 up", "key E4 up"};
    QTRY_COMPARE(g_log.join(", "), expected.join(", "));
    QTRY_COMPARE(qmlKeys(keys).join(", "), expected.join(", "));
}

void tst_Capture::clicksAnywhere_data()
{
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("code");
    QTest::newRow("left, top left corner") << QPoint(0, 0) << 1 << 0xF0;
    QTest::newRow("middle, bottom right corner") << QPoint(1279, 1023) << 2 << 0xF2;
    QTest::newRow("right, outside the window") << QPoint(1200, 900) << 3 << 0xF1;
    QTest::newRow("left, on the window") << QPoint(-1, -1) << 1 << 0xF0;
}

void tst_Capture::clicksAnywhere()
{
    QFETCH(QPoint, at);
    QFETCH(int, button);
    QFETCH(int, code);
    if (at == QPoint(-1, -1))
        at = window->geometry().center();
    QVERIFY(xdotool({"mousemove", QString::number(at.x()), QString::number(at.y())}));
    QTest::qWait(20);
    QVERIFY(xdotool({"click", QString::number(button)}));
    QTRY_COMPARE(g_log.join(", "), (QStringList{buttonEvent(uint8_t(code), true, at.x(), at.y()),
                                                buttonEvent(uint8_t(code), false, at.x(), at.y())})
                                       .join(", "));
}

void tst_Capture::wheelAndExtraButtonsAreNotReported()
{
    QVERIFY(xdotool({"mousemove", "600", "500"}));
    for (const char *button : {"4", "5", "6", "7", "8", "9"})
        QVERIFY(xdotool({"click", button}));
    // A double click is two presses and two releases.
    QVERIFY(xdotool({"click", "--repeat", "2", "--delay", "30", "1"}));
    const QString down = buttonEvent(0xF0, true, 600, 500), up = buttonEvent(0xF0, false, 600, 500);
    QTRY_COMPARE(g_log.join(", "), QStringList({down, up, down, up}).join(", "));
}

void tst_Capture::handlerMayUninstall()
{
    InputHooks::setKeyboardHandler(uninstallOnFirstKey, nullptr);
    for (int linuxCode : {30, 48, 46}) {
        inject(uint8_t(linuxCode + 8), true);
        inject(uint8_t(linuxCode + 8), false);
    }
    QTRY_VERIFY(!g_log.isEmpty());
    QTest::qWait(100);
    QCOMPARE(g_log.join(", "), keyEvent(0x04, true));
    QVERIFY(!InputHooks::isInstalled());
    // Release A for the next tests' sake.
    InputHooks::setKeyboardHandler(nullptr, nullptr);
    input::keyboardProc(input::kHookAction, input::KeyUp, input::KeyEventRecord{0x1E, 0});
}

void tst_Capture::noRecordExtensionMeansNoCapture()
{
    PrivateXServer withoutRecord({QStringLiteral("-extension"), QStringLiteral("RECORD")});
    QVERIFY(!withoutRecord.display().isEmpty());
    fixture::DebugCapture debug;
    {
        DisplayOverride display(withoutRecord.display());
        QVERIFY(!hooks.install(true));
        QVERIFY(!InputHooks::isInstalled());
    }
    QVERIFY(debug.lines().contains(QStringLiteral("the X server has no RECORD extension")));
    {
        // A display that is not there.
        DisplayOverride display(QStringLiteral(":9999"));
        QVERIFY(!hooks.install(true));
    }
    {
        DisplayOverride display{QString()};
        QVERIFY(!hooks.install(true));
    }
    // The tables are built all the same: the procedure reports.
    input::keyboardProc(input::kHookAction, input::KeyDown, input::KeyEventRecord{0x2B, 0});
    input::keyboardProc(input::kHookAction, input::KeyUp, input::KeyEventRecord{0x2B, 0});
    QCOMPARE(g_log.join(", "), tap(0x32).join(", "));
}

void tst_Capture::serverGoingAwayStopsCapture()
{
    auto server = std::make_unique<PrivateXServer>();
    QVERIFY(!server->display().isEmpty());
    {
        DisplayOverride display(server->display());
        QVERIFY(hooks.install(true));
    }
    fixture::DebugCapture debug;
    server->stop();
    QTRY_VERIFY(debug.lines().contains(
        QStringLiteral("the X server closed the connection; global key capture stopped")));
    // Still alive, and taking it down touches the lost connection no more.
    hooks.uninstall();
    QVERIFY(!InputHooks::isInstalled());
    QVERIFY(hooks.install(true));
    inject(30 + 8, true);
    inject(30 + 8, false);
    QTRY_COMPARE(g_log.join(", "), tap(0x04).join(", "));
}

QTEST_MAIN(tst_Capture)
#include "tst_capture.moc"
