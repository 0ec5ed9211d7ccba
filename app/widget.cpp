#include "widget.h"

#include "devicewatch.h"
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
    connect(view(), &myQQuickView::updaterStarted, this, &Widget::onUpdaterStarted);
    connect(view(), &myQQuickView::updaterFinished, this, &Widget::onUpdaterFinished);
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
    devices = description.records;
    hid.setDeviceList(devices);
    isEncode = description.isEncode;
    hid.swichCurDevice(hid.curDid());
    view()->syncFW();
    const bool present = hid.isDevicePresent(hid.curDid());
    if (present != view()->isKeyboardConnected())
        view()->setKeyboardConnected(present);
    if (!watch) {
        watch = new hidwatch::DeviceWatch(this);
        connect(watch, &hidwatch::DeviceWatch::arrival, this, &Widget::onDeviceArrival);
        connect(watch, &hidwatch::DeviceWatch::removal, this, &Widget::onDeviceRemoval);
    }
}

void Widget::onDeviceRemoval(const QString &devnode)
{
    if (updaterRunning || !view()->isKeyboardConnected())
        return;
    // Another HID device leaving does not concern the keyboard.
    const DeviceEntry *entry = hid.device(int(hid.curDid()));
    const bool ours = !entry || devnode.isEmpty() || devnode == entry->cmdPath() ||
                      devnode == entry->eventPath() || !hid.isDevicePresent(hid.curDid());
    if (ours)
        forgetKeyboard();
}

void Widget::onDeviceArrival(const QString &)
{
    // The two interfaces arrive one after the other: every arrival looks
    // again until both are there.
    if (updaterRunning || (view()->isKeyboardConnected() && hid.isDevicePresent(hid.curDid())))
        return;
    reconnect();
}

void Widget::onUpdaterStarted()
{
    updaterRunning = true;
    forgetKeyboard();
}

void Widget::onUpdaterFinished()
{
    updaterRunning = false;
    // A keyboard still in its boot loader (or still on its way back) is not
    // found now; its arrival event brings it.
    reconnect();
}

bool Widget::reconnect()
{
    hid.setDeviceList(devices);
    if (!hid.isDevicePresent(hid.curDid()))
        return false;
    hid.swichCurDevice(hid.curDid());
    view()->syncFW();
    view()->setKeyboardConnected(true);
    emit keyboardChanged(true);
    return true;
}

void Widget::forgetKeyboard()
{
    hid.forgetDevices();
    if (!view()->isKeyboardConnected())
        return;
    view()->setKeyboardConnected(false);
    emit keyboardChanged(false);
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
