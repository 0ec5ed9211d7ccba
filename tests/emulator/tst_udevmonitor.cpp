// The emulator's stand-in for libudev's monitor: plugs and unplugs arrive as
// hidraw events, while everything else still reaches the real libudev.
#include "q3emu.h"

#include <hidapi.h>
#include <libudev.h>

#include <QProcess>
#include <QtTest>

#include <poll.h>

#include <chrono>
#include <memory>

using namespace std::chrono_literals;
using q3emu::Interface;

namespace {

struct Event {
    QString action, sysname, devnode;
    unsigned long long seqnum;
};

bool readable(int fd, int timeoutMs = 0)
{
    pollfd p = {fd, POLLIN, 0};
    return poll(&p, 1, timeoutMs) == 1 && (p.revents & POLLIN);
}

class Monitor
{
public:
    explicit Monitor(const char *source = "udev", const char *subsystem = "hidraw", bool enable = true)
        : m_udev(udev_new()), m_monitor(udev_monitor_new_from_netlink(m_udev, source))
    {
        if (m_monitor && subsystem)
            udev_monitor_filter_add_match_subsystem_devtype(m_monitor, subsystem, nullptr);
        if (m_monitor && enable)
            udev_monitor_enable_receiving(m_monitor);
    }
    ~Monitor()
    {
        if (m_monitor)
            udev_monitor_unref(m_monitor);
        udev_unref(m_udev);
    }
    udev_monitor *get() const { return m_monitor; }
    int fd() const { return udev_monitor_get_fd(m_monitor); }

    // Every event now pending; real devices, should any come, are skipped.
    QList<Event> drain()
    {
        QList<Event> events;
        while (udev_device *d = udev_monitor_receive_device(m_monitor)) {
            const char *node = udev_device_get_devnode(d);
            if (node && QByteArray(node).startsWith("q3emu:"))
                events << Event{udev_device_get_action(d), udev_device_get_sysname(d), node,
                                udev_device_get_seqnum(d)};
            udev_device_unref(d);
        }
        return events;
    }

private:
    udev *m_udev;
    udev_monitor *m_monitor;
};

QStringList describe(const QList<Event> &events)
{
    QStringList lines;
    for (const Event &e : events)
        lines << e.action + " " + e.sysname + " " + e.devnode;
    return lines;
}

} // namespace

class TestUdevMonitor : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        q3emu::reset(q3emu::Scenario::Keyboard);
        q3emu::setReportDelay(0us);
    }

    void eventsInOrder_data()
    {
        QTest::addColumn<QByteArray>("source");
        QTest::newRow("udev") << QByteArray("udev");
        QTest::newRow("kernel") << QByteArray("kernel");
    }

    void eventsInOrder()
    {
        QFETCH(QByteArray, source);
        Monitor m(source.constData());
        QVERIFY(m.get());
        QVERIFY(!readable(m.fd()));

        q3emu::unplug(Interface::Event);
        q3emu::unplug(Interface::Event); // no change, no event
        q3emu::unplug(Interface::Command);
        q3emu::plug(Interface::BootLoader);
        q3emu::plug(Interface::Mouse);
        QVERIFY(readable(m.fd()));
        const QList<Event> events = m.drain();
        QCOMPARE(
            describe(events),
            (QStringList{"remove hidraw91 q3emu:keyboard/event", "remove hidraw90 q3emu:keyboard/command",
                         "add hidraw94 q3emu:bootloader/isp", "add hidraw93 q3emu:mouse/vendor"}));
        for (int i = 1; i < events.size(); ++i)
            QVERIFY(events[i].seqnum > events[i - 1].seqnum);
        QVERIFY(!readable(m.fd()));
        QVERIFY(!udev_monitor_receive_device(m.get()));

        // reset() is a replug too.
        q3emu::reset(q3emu::Scenario::Keyboard);
        QCOMPARE(describe(m.drain()),
                 (QStringList{"remove hidraw93 q3emu:mouse/vendor", "remove hidraw94 q3emu:bootloader/isp",
                              "add hidraw90 q3emu:keyboard/command", "add hidraw91 q3emu:keyboard/event"}));
    }

    void deviceLooksLikeUsbHid()
    {
        Monitor m;
        q3emu::plug(Interface::BootLoader);
        udev_device *d = udev_monitor_receive_device(m.get());
        QVERIFY(d);
        QCOMPARE(udev_device_get_subsystem(d), "hidraw");
        QCOMPARE(udev_device_get_devtype(d), nullptr);
        QCOMPARE(udev_device_get_sysnum(d), "94");
        QCOMPARE(udev_device_get_property_value(d, "ACTION"), "add");
        QCOMPARE(udev_device_get_property_value(d, "DEVNAME"), "q3emu:bootloader/isp");
        QVERIFY(QByteArray(udev_device_get_syspath(d)).startsWith("/sys/devices/virtual/q3emu/bootloader/"));
        QCOMPARE(QByteArray("/sys") + udev_device_get_devpath(d), QByteArray(udev_device_get_syspath(d)));
        QVERIFY(udev_device_has_tag(d, "uaccess"));

        udev_device *hid = udev_device_get_parent_with_subsystem_devtype(d, "hid", nullptr);
        QVERIFY(hid);
        QCOMPARE(udev_device_get_property_value(hid, "HID_ID"), "0003:000004D9:00008022");
        udev_device *usb = udev_device_get_parent_with_subsystem_devtype(d, "usb", "usb_device");
        QVERIFY(usb);
        QCOMPARE(udev_device_get_sysattr_value(usb, "idVendor"), "04d9");
        QCOMPARE(udev_device_get_sysattr_value(usb, "idProduct"), "8022");
        QCOMPARE(udev_device_get_parent_with_subsystem_devtype(d, "pci", nullptr), nullptr);

        // A parent kept with its own reference outlives the event.
        udev_device_ref(usb);
        udev_device_unref(d);
        QCOMPARE(udev_device_get_devtype(usb), "usb_device");
        udev_device_unref(usb);
    }

    void filtersAndReceiving()
    {
        Monitor hidraw, usbOnly("udev", "usb"), unfiltered("udev", nullptr),
            notReceiving("udev", "hidraw", false);
        q3emu::unplug(Interface::Command);
        QCOMPARE(hidraw.drain().size(), 1);
        QCOMPARE(unfiltered.drain().size(), 1);
        QVERIFY(!readable(usbOnly.fd()));
        QCOMPARE(usbOnly.drain().size(), 0);
        QVERIFY(!readable(notReceiving.fd()));

        QVERIFY(!Monitor("bogus").get()); // only the two event sources exist
    }

    // 0FH, then the status query answered 0xFF: the keyboard's interfaces go
    // at once and the boot loader arrives after the re-enumeration delay.
    void bootLoaderHandOver()
    {
        const auto delay = 120ms;
        q3emu::setReenumerationDelay(delay);
        Monitor m;
        hid_device *cmd = hid_open_path(q3emu::pathOf(Interface::Command).c_str());
        QVERIFY(cmd);
        const unsigned char enter[9] = {0, 0x0F, 0x51, 0x33, 0x42, 0x4F, 0x4F, 0x54, 0xA5};
        const unsigned char query[9] = {0, 0x8F, 0, 0, 0, 0, 0, 0, 0x70};
        unsigned char answer[9] = {0};
        QCOMPARE(hid_send_feature_report(cmd, enter, 9), 9);
        QVERIFY(!readable(m.fd())); // 0FH alone changes nothing
        QCOMPARE(hid_send_feature_report(cmd, query, 9), 9);
        const auto asked = std::chrono::steady_clock::now(); // the keyboard leaves after this
        QCOMPARE(hid_get_feature_report(cmd, answer, 9), 9);
        hid_close(cmd);
        QCOMPARE(int(answer[2]), 0xFF);

        QCOMPARE(describe(m.drain()), (QStringList{"remove hidraw90 q3emu:keyboard/command",
                                                   "remove hidraw91 q3emu:keyboard/event"}));
        // Nobody calls into the emulator now: the arrival must come by itself.
        QVERIFY(readable(m.fd(), 3000));
        QVERIFY(std::chrono::steady_clock::now() - asked >= delay);
        QCOMPARE(describe(m.drain()), QStringList{"add hidraw94 q3emu:bootloader/isp"});
    }

    void otherCallsReachTheRealLibudev()
    {
        udev *context = udev_new();
        QVERIFY(context);
        udev_device *null = udev_device_new_from_syspath(context, "/sys/devices/virtual/mem/null");
        if (!null) {
            udev_unref(context);
            QSKIP("no /sys/devices/virtual/mem/null here");
        }
        QCOMPARE(udev_device_get_sysname(null), "null");
        QCOMPARE(udev_device_get_subsystem(null), "mem");
        QCOMPARE(udev_device_get_devnode(null), "/dev/null");
        QCOMPARE(udev_device_get_udev(null), context);
        udev_device_unref(null);

        udev_enumerate *e = udev_enumerate_new(context);
        udev_enumerate_add_match_subsystem(e, "mem");
        QCOMPARE(udev_enumerate_scan_devices(e), 0);
        int found = 0;
        udev_list_entry *entry;
        udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(e))++ found;
        QVERIFY(found > 0);
        udev_enumerate_unref(e);
        udev_unref(context);
    }

    // A program that links the real libudev and hidapi, with the emulator
    // preloaded: the events reach it through its own libudev calls.
    void preloadedIntoAProgram_data()
    {
        QTest::addColumn<QString>("source");
        QTest::newRow("udev") << "udev";
        QTest::newRow("kernel") << "kernel";
    }

    void preloadedIntoAProgram()
    {
        QFETCH(QString, source);
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("LD_PRELOAD", Q3EMU_LIBRARY);
        p.setProcessEnvironment(env);
        p.start(UDEVWATCH, {source, "3"});
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(QString(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts),
                 (QStringList{"remove hidraw90 q3emu:keyboard/command",
                              "remove hidraw91 q3emu:keyboard/event", "add hidraw94 q3emu:bootloader/isp"}));
        QCOMPARE(p.exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(TestUdevMonitor)
#include "tst_udevmonitor.moc"
