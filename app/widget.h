// The program's one top-level window: frameless and translucent, filled by
// the QML view, with the device link and a tray icon.
#pragma once

#include "hid_thread.h"

#include <QSystemTrayIcon>
#include <QWidget>

class Ui_Controler;
class myQQuickView;

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

public slots:
    void trayIconActivated(QSystemTrayIcon::ActivationReason reason);
    // Loads the device description, selects the keyboard, starts watching
    // it and reads its mode and profile into the view.
    void checkDevice();

protected:
    bool event(QEvent *event) override;
    void customEvent(QEvent *event) override;

private:
    void createTrayIcon();

    Ui_Controler *controller = nullptr;
    Hid_Thread hid;
    QSystemTrayIcon *trayIcon = nullptr;
};
