// gearpanel: the keyboard configuration program.
#include "inputhooks.h"
#include "keytables.h"
#include "myquickview.h"
#include "singleinstance.h"
#include "ui_controler.h"
#include "widget.h"

#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QOpenGLContext>
#include <QQmlDebuggingEnabler>
#include <QQuickWindow>

#include <memory>

namespace {
// Lets a QML debugger attach when the standard debugger argument is given.
QQmlDebuggingEnabler qmlDebugging;

myQQuickView *viewOf(void *window)
{
    return window ? static_cast<Widget *>(window)->uiController()->quickView() : nullptr;
}

// Global key and button events go to QML through the view; the capture's
// context is the main window.
void forwardKey(uint8_t usage, bool isDown, void *window)
{
    if (myQQuickView *view = viewOf(window))
        view->detectKeyboard(isDown, usage);
}

void forwardButton(uint8_t buttonCode, bool isDown, int32_t x, int32_t y, void *window)
{
    if (myQQuickView *view = viewOf(window))
        view->detectMouse(isDown, buttonCode, uint(x), uint(y));
}

// Qt Quick draws the window with its software renderer unless the user
// names another in QT_QUICK_BACKEND. The window is a fixed 1000 by 600 of
// images and text that the software renderer draws as fast as the eye
// needs, while the OpenGL renderer first loads a full driver (a software
// one on many desktops and virtual machines), which more than triples the
// time to the first picture and holds tens of megabytes for the program's
// lifetime. QT_QUICK_BACKEND=opengl asks for Qt's default OpenGL renderer,
// which has no name of its own. Must run before the application exists.
//
// With nothing drawn through OpenGL, the X11 platform plugin is kept from
// loading a driver just to choose the window's visual (that alone is some
// 40 MB resident with Mesa's software driver): true when it was asked to,
// and settleOpenGlChoice() must follow once the application exists.
bool chooseQuickRenderer()
{
    const QByteArray asked = qgetenv("QT_QUICK_BACKEND");
    if (asked == "opengl") {
        qunsetenv("QT_QUICK_BACKEND");
        return false;
    }
    if ((!asked.isEmpty() && asked != "software") || !qEnvironmentVariableIsEmpty("QMLSCENE_DEVICE"))
        return false;
    QQuickWindow::setSceneGraphBackend(QSGRendererInterface::Software);
    if (qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"))
        return false;
    qputenv("QT_XCB_GL_INTEGRATION", "none");
    return true;
}

// The X11 plugin reads its OpenGL choice at the first question about
// OpenGL; asked now, the variable can leave the environment again, so that
// the updater and the web browser that gearpanel starts keep their OpenGL.
void settleOpenGlChoice()
{
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        QOpenGLContext::supportsThreadedOpenGL();
    qunsetenv("QT_XCB_GL_INTEGRATION");
}
} // namespace

int main(int argc, char *argv[])
{
    const bool openGlKeptOff = chooseQuickRenderer();
    auto app = std::make_unique<QApplication>(argc, argv);
    if (openGlKeptOff)
        settleOpenGlChoice();
    const QString programPath = QCoreApplication::applicationFilePath();

    const SingleInstanceGuard instance(programPath);
    if (instance.isRunning()) {
        app.reset();
        return 1;
    }

    // Every data path is relative to the program's own folder.
    QDir::setCurrent(programPath.left(programPath.lastIndexOf(QLatin1Char('/'))));

    // Without the font the system's fonts serve.
    QFontDatabase::addApplicationFont(QStringLiteral("./Exo-Medium.ttf"));

    auto window = std::make_unique<Widget>();

    // The view has read the layout from the hardware definition by now, and
    // no key may be reported before the handlers are set. Without capture
    // the program runs on.
    InputHooks hooks;
    hooks.install(input::hashTildeLayoutFor(window->view()->keyboardLayout()));
    int result = 0;
    try {
        InputHooks::setKeyboardHandler(forwardKey, window.get());
        InputHooks::setMouseHandler(forwardButton, window.get());
        window->checkDevice();
        window->showNormal();
        window->startUi();
        result = app->exec();
    } catch (...) {
        hooks.uninstall();
        window.reset();
        throw;
    }

    // No event may reach a window that is going.
    hooks.uninstall();
    window.reset();
    app.reset();
    return result;
}
