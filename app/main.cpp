// gearpanel: the keyboard configuration program.
#include "singleinstance.h"
#include "widget.h"

#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QQmlDebuggingEnabler>

#include <memory>

namespace {
// Lets a QML debugger attach when the standard debugger argument is given.
QQmlDebuggingEnabler qmlDebugging;
} // namespace

int main(int argc, char *argv[])
{
    auto app = std::make_unique<QApplication>(argc, argv);
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
    window->checkDevice();
    window->showNormal();
    window->startUi();

    const int result = app->exec();

    window.reset();
    app.reset();
    return result;
}
