// What QML may do to the window ("ui_Ctl"): drag it, hide it, close it and
// lock the user interface for a while.
#pragma once

#include <QObject>

class QWidget;
class myQQuickView;

class Ui_Controler : public QObject
{
    Q_OBJECT
public:
    explicit Ui_Controler(QObject *parent = nullptr) : QObject(parent) {}

    // Makes `window` frameless and translucent, fills it with the QML view,
    // loads the root document and hands the context properties to it.
    // `hidObject` is the device link QML sees as "hid".
    void setup(QWidget *window, QObject *hidObject);

    myQQuickView *quickView() const { return view; }

public slots:
    void onMinimize();
    void onClose();
    void onXChanged(int x);
    void onYChanged(int y);
    // Calls QML's setProtectUI(busyTime) before returning.
    void setBusy(int busyTime);
    void setBusy();

private:
    QWidget *window = nullptr;
    myQQuickView *view = nullptr;
};
