// Tells a program when a HID interface appears or goes away: a libudev
// monitor on the "hidraw" subsystem, read on the GUI thread through a socket
// notifier. It reports events only; finding out what is present is left to
// the listener, so enumeration happens only in answer to an event (a poll
// that enumerates while a device is being removed can crash hidapi).
// gearpanel and romwriter both watch the keyboard through it.
#pragma once

#include <QObject>
#include <QString>

class QSocketNotifier;
struct udev;
struct udev_monitor;

namespace hidwatch {

class DeviceWatch : public QObject
{
    Q_OBJECT
public:
    // Starts watching at once. Uses the "udev" event source when a udev
    // daemon runs and the "kernel" source otherwise.
    explicit DeviceWatch(QObject *parent = nullptr);
    ~DeviceWatch() override;

    bool isWatching() const { return m_monitor != nullptr; }
    // "udev" when /run/udev/control exists, else "kernel".
    static const char *eventSource();

signals:
    // An "add" or "remove" event, with the device node it names (empty when
    // the event carries none).
    void arrival(const QString &devnode);
    void removal(const QString &devnode);

private:
    void readEvent();

    udev *m_udev = nullptr;
    udev_monitor *m_monitor = nullptr;
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace hidwatch
