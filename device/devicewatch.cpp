#include "devicewatch.h"

#include <QFileInfo>
#include <QLoggingCategory>
#include <QSocketNotifier>

#include <libudev.h>

#include <cstring>

namespace hidwatch {

Q_LOGGING_CATEGORY(lcWatch, "gearpanel.device")

const char *DeviceWatch::eventSource()
{
    // Without a udev daemon (containers, build machines) nothing re-sends
    // the kernel's events under the "udev" source, so listen to the kernel.
    return QFileInfo::exists(QStringLiteral("/run/udev/control")) ? "udev" : "kernel";
}

DeviceWatch::DeviceWatch(QObject *parent) : QObject(parent)
{
    m_udev = udev_new();
    if (m_udev)
        m_monitor = udev_monitor_new_from_netlink(m_udev, eventSource());
    if (m_monitor && (udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "hidraw", nullptr) < 0 ||
                      udev_monitor_enable_receiving(m_monitor) < 0)) {
        udev_monitor_unref(m_monitor);
        m_monitor = nullptr;
    }
    if (!m_monitor) {
        qCWarning(lcWatch) << "no device events from" << eventSource();
        return;
    }
    m_notifier = new QSocketNotifier(udev_monitor_get_fd(m_monitor), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &DeviceWatch::readEvent);
}

DeviceWatch::~DeviceWatch()
{
    delete m_notifier;
    if (m_monitor)
        udev_monitor_unref(m_monitor);
    if (m_udev)
        udev_unref(m_udev);
}

void DeviceWatch::readEvent()
{
    // One event per wake-up: the notifier fires again while more are queued,
    // and a listener may run a long procedure that processes events itself.
    udev_device *device = udev_monitor_receive_device(m_monitor);
    if (!device)
        return;
    const char *action = udev_device_get_action(device);
    const bool added = action && std::strcmp(action, "add") == 0;
    const bool removed = action && std::strcmp(action, "remove") == 0;
    const char *node = udev_device_get_devnode(device);
    const QString devnode = node ? QString::fromLocal8Bit(node) : QString();
    udev_device_unref(device);
    if (added)
        emit arrival(devnode);
    else if (removed)
        emit removal(devnode);
}

} // namespace hidwatch
