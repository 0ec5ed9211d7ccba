// The program's one top-level window: frameless and translucent, filled by
// the QML view, with the device link and a tray icon.
#pragma once

#include "devinfo.h"
#include "hid_thread.h"

#include <QList>
#include <QSystemTrayIcon>
#include <QWidget>

class Ui_Controler;
class myQQuickView;
namespace hidwatch {
class DeviceWatch;
}

class Widget : public QWidget
{
    Q_OBJECT
public:
    explicit Widget(QWidget *parent = nullptr);
    // Stops the device monitor and waits for it before anything goes.
    ~Widget() override;

    // Start-up: busy lock on, QML "initUI" queued, and the start-up event
    // posted that releases the lock and queues QML "run".
    void startUi();

    Ui_Controler *uiController() const { return controller; }
    myQQuickView *view() const;
    Hid_Thread &link() { return hid; }
    QSystemTrayIcon *tray() const { return trayIcon; }
    // The hidraw watch; there from the end of the first checkDevice().
    hidwatch::DeviceWatch *deviceWatch() const { return watch; }

signals:
    // The keyboard went away, or came back and the view has read it (QML's
    // re-reading is queued behind this).
    void keyboardChanged(bool connected);

public slots:
    void trayIconActivated(QSystemTrayIcon::ActivationReason reason);
    // Loads the device description, selects the keyboard, starts watching
    // it and reads its mode and profile into the view. The first call also
    // starts following hidraw arrivals and removals.
    void checkDevice();

protected:
    bool event(QEvent *event) override;
    void customEvent(QEvent *event) override;

private:
    void createTrayIcon();
    void onDeviceArrival(const QString &devnode);
    void onDeviceRemoval(const QString &devnode);
    void onUpdaterStarted();
    void onUpdaterFinished();
    // Discovery again; when both interfaces are there, the keyboard is
    // selected, watched and read, and the window told.
    bool reconnect();
    void forgetKeyboard();

    Ui_Controler *controller = nullptr;
    Hid_Thread hid;
    QList<DevInfoRecord> devices;
    hidwatch::DeviceWatch *watch = nullptr;
    // romwriter has the keyboard to itself: nothing is opened meanwhile.
    bool updaterRunning = false;
    QSystemTrayIcon *trayIcon = nullptr;
};
