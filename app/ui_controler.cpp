#include "ui_controler.h"

#include "myquickview.h"
#include "programfiles.h"

#include <QMetaObject>
#include <QQmlContext>
#include <QQuickItem>
#include <QSettings>
#include <QUrl>
#include <QWidget>

// The QML documents live in this library; a static library's resources must
// be registered by hand, outside any namespace.
static void registerQmlResources()
{
    Q_INIT_RESOURCE(qml);
}

namespace {
// The resource ":/modules/qml/main.qml". Qt 5 resolves the document's
// relative imports ("./basic") only against an absolute qrc path, so the
// URL carries the leading slash.
const char *const kRootDocument = "qrc:/modules/qml/main.qml";
} // namespace

void Ui_Controler::setup(QWidget *w, QObject *hidObject)
{
    if (!w)
        return;
    if (w->objectName().isEmpty())
        w->setObjectName(QStringLiteral("Widget"));
    window = w;
    window->setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::CustomizeWindowHint);
    window->setWindowOpacity(1.0);
    window->setAttribute(Qt::WA_TranslucentBackground);
    window->setStyleSheet(QStringLiteral("background:transparent;"));

    registerQmlResources();
    view = new myQQuickView(window);
    view->setObjectName(QStringLiteral("ui_View"));
    view->setSource(QUrl(QString::fromLatin1(kRootDocument)));

    // Set after loading: the document uses them only in functions called
    // once the event loop runs, never in its initial bindings.
    QQmlContext *context = view->rootContext();
    context->setContextProperty(QStringLiteral("ui_View"), view);
    context->setContextProperty(QStringLiteral("hid"), hidObject);
    context->setContextProperty(QStringLiteral("ui_Ctl"), this);

    const QSize rootSize = view->initialSize();
    if (rootSize.isValid() && !rootSize.isEmpty())
        view->resize(rootSize);
    window->resize(view->size());

    const QSettings config(QString::fromLatin1(programfiles::kApConfig), QSettings::IniFormat);
    window->setWindowTitle(config.value(QStringLiteral("common/name"), QString()).toString());
}

void Ui_Controler::onMinimize()
{
    if (window)
        window->setVisible(false);
}

void Ui_Controler::onClose()
{
    if (window)
        window->close();
}

void Ui_Controler::onXChanged(int x)
{
    if (window)
        window->move(window->x() + x, window->y());
}

void Ui_Controler::onYChanged(int y)
{
    if (window)
        window->move(window->x(), window->y() + y);
}

void Ui_Controler::setBusy(int busyTime)
{
    if (!window || !view || !view->rootObject())
        return;
    QMetaObject::invokeMethod(view->rootObject(), "setProtectUI", Qt::DirectConnection,
                              Q_ARG(QVariant, QVariant(busyTime)));
}

void Ui_Controler::setBusy()
{
    setBusy(0);
}
