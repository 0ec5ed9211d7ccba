#include "widget.h"

#include "devinfo.h"
#include "myquickview.h"
#include "programfiles.h"
#include "ui_controler.h"
#include "userevent.h"

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QMenu>
#include <QSettings>

namespace {

const char *const kTrayIconPath = "./modules/img/logo.ico";

const char *const kTrayMenuStyle =
    "QMenu { border: 1px solid rgb(100, 100, 100); background: rgb(68, 69, 73); } "
    "QMenu::item { height: 22px; padding: 0px 25px 0px 20px; } "
    "QMenu::item:enabled { color: rgb(225, 225, 225); } "
    "QMenu::item:!enabled { color: rgb(155, 155, 155); } "
    "QMenu::item:enabled:selected { color: rgb(230, 230, 230); background: rgba(255, 255, 255, 40); } "
    "QMenu::separator { height: 1px; background: rgb(100, 100, 100); } "
    "QMenu::indicator { width: 13px; height: 13px; } "
    "QMenu::icon { padding-left: 2px; padding-right: 2px; } ";

} // namespace

Widget::Widget(QWidget *parent) : QWidget(parent)
{
    controller = new Ui_Controler;
    controller->setup(this, &hid);
    view()->setHid(&hid);
    // The monitor reports keyboard-side changes to the view, which queues
    // them to QML.
    hid.setOwner(view());
    createTrayIcon();
}

Widget::~Widget()
{
    // The monitor calls into the view from a pool thread: it must be gone
    // before the view is.
    hid.stopMonitor();
    hid.setOwner(nullptr);
    controller->deleteLater();
}

myQQuickView *Widget::view() const
{
    return controller->quickView();
}

void Widget::createTrayIcon()
{
    trayIcon = new QSystemTrayIcon(this);
    auto *quitAction = new QAction(tr("Quit (&Q)"), this);
    connect(quitAction, &QAction::triggered, qApp, &QCoreApplication::quit);
    auto *menu = new QMenu(this);
    menu->addAction(quitAction);
    menu->setStyleSheet(QString::fromLatin1(kTrayMenuStyle));
    trayIcon->setContextMenu(menu);
    trayIcon->setToolTip(QStringLiteral("Keyboard"));
    trayIcon->setIcon(QIcon(QString::fromLatin1(kTrayIconPath)));
    connect(trayIcon, &QSystemTrayIcon::activated, this, &Widget::trayIconActivated);
    trayIcon->setVisible(true);
}

void Widget::trayIconActivated(QSystemTrayIcon::ActivationReason reason)
{
    if (reason == QSystemTrayIcon::DoubleClick)
        QCoreApplication::postEvent(this, new RestoreEvent);
}

void Widget::checkDevice()
{
    const QSettings config(QString::fromLatin1(programfiles::kApConfig), QSettings::IniFormat);
    const QStringList productNames = config.value(QStringLiteral("common/product_name")).toStringList();
    const DevInfo description = loadDevInfo(QString::fromLatin1(kDevInfoResource), productNames);
    hid.setDeviceList(description.records);
    isEncode = description.isEncode;
    hid.swichCurDevice(hid.curDid());
    view()->syncFW();
}

void Widget::startUi()
{
    controller->setBusy(1);
    view()->initUI();
    QCoreApplication::postEvent(this, new UserEvent(UserEvent::kStartUpDone));
}

bool Widget::event(QEvent *e)
{
    // Never consumed: the restore goes on to the default handling too.
    if (e->type() == RestoreEvent::type())
        setVisible(true);
    return QWidget::event(e);
}

void Widget::customEvent(QEvent *e)
{
    if (e->type() != QEvent::User)
        return;
    if (static_cast<UserEvent *>(e)->eventCode != UserEvent::kStartUpDone)
        return;
    controller->setBusy(0);
    view()->runUI();
}
