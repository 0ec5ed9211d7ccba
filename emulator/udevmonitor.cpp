// libudev's monitor, standing in for the real one so that a program watching
// hidraw sees the emulated interfaces come and go.
//
// A monitor handed out here wraps a real monitor when the real libudev is
// loaded and can make one, so real devices still arrive; its fd is an epoll
// set of the real monitor's socket and an eventfd that stays readable while
// emulated events wait. Devices this file creates are told apart from real
// ones by a registry of their addresses: every udev_device_* call that takes a
// device is answered here for ours and passed on for anything else. Calls that
// take neither go straight to the real library, as this file does not define
// them.

#include "deviceevents.h"
#include "usbidentity.h"

#pragma GCC visibility push(default)
#include <libudev.h>
#pragma GCC visibility pop

#include <dlfcn.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

using q3emu::Interface;

namespace {

// --- the real libudev ------------------------------------------------------

// The real definition of `name`, or null when libudev is not loaded. libudev
// is asked first by handle, which finds its own definition whatever the
// order of the libraries; RTLD_NEXT covers a libudev loaded under another
// name.
void *realSymbol(const char *name, void *self)
{
    void *sym = nullptr;
    if (void *lib = dlopen("libudev.so.1", RTLD_NOW | RTLD_NOLOAD)) {
        sym = dlsym(lib, name);
        dlclose(lib);
    }
    if (!sym || sym == self)
        sym = dlsym(RTLD_NEXT, name);
    return sym == self ? nullptr : sym;
}

#define REAL(fn) (reinterpret_cast<decltype(&fn)>(realSymbol(#fn, reinterpret_cast<void *>(&fn))))

// --- emulated devices --------------------------------------------------------

struct EmuDevice {
    std::atomic<int> refs{1};
    udev *context = nullptr;
    std::string subsystem, devtype, sysname, syspath, devnode, driver, action;
    unsigned long long seqnum = 0;
    std::map<std::string, std::string> properties, sysattrs;
    std::vector<std::string> tags;
    EmuDevice *parent = nullptr; // one reference held by this device
};

struct EmuMonitor {
    std::atomic<int> refs{1};
    udev *context = nullptr;
    udev_monitor *real = nullptr;
    int pollFd = -1;  // epoll set: eventFd and the real monitor's socket
    int eventFd = -1; // readable while `queue` holds events
    bool receiving = false;
    std::vector<std::pair<std::string, std::optional<std::string>>> subsystems;
    std::vector<std::string> tags;
    std::deque<EmuDevice *> queue; // owned references
};

// Guards the registries, the monitors' queues and filters.
std::mutex hubLock;
std::unordered_set<const void *> &devices()
{
    static auto *set = new std::unordered_set<const void *>;
    return *set;
}
std::unordered_set<const void *> &monitors()
{
    static auto *set = new std::unordered_set<const void *>;
    return *set;
}
unsigned long long nextSeqnum = 1;

EmuDevice *ours(udev_device *d)
{
    std::lock_guard<std::mutex> guard(hubLock);
    return devices().count(d) ? reinterpret_cast<EmuDevice *>(d) : nullptr;
}

EmuMonitor *ours(udev_monitor *m)
{
    std::lock_guard<std::mutex> guard(hubLock);
    return monitors().count(m) ? reinterpret_cast<EmuMonitor *>(m) : nullptr;
}

udev_device *handle(EmuDevice *d)
{
    return reinterpret_cast<udev_device *>(d);
}

EmuDevice *makeDevice(udev *context, const std::string &subsystem, const std::string &devtype,
                      const std::string &syspath, EmuDevice *parent)
{
    auto *d = new EmuDevice;
    d->context = context;
    d->subsystem = subsystem;
    d->devtype = devtype;
    d->syspath = syspath;
    d->sysname = syspath.substr(syspath.rfind('/') + 1);
    d->parent = parent;
    d->properties["SUBSYSTEM"] = subsystem;
    d->properties["DEVPATH"] = syspath.substr(4); // without "/sys"
    if (!devtype.empty())
        d->properties["DEVTYPE"] = devtype;
    devices().insert(d);
    return d;
}

void release(EmuDevice *d)
{
    while (d && --d->refs == 0) {
        devices().erase(d);
        EmuDevice *parent = d->parent;
        delete d;
        d = parent;
    }
}

std::string hex4(unsigned value)
{
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04x", value & 0xFFFF);
    return buf;
}

// The hidraw node with its hid, usb interface and usb device parents, as the
// kernel lays them out for a USB HID interface.
EmuDevice *makeHidraw(udev *context, Interface iface, bool added, unsigned long long seqnum)
{
    const q3emu::detail::InterfaceDescriptor &d = q3emu::detail::descriptorOf(iface);
    const std::string path = d.path;                               // "q3emu:keyboard/command"
    const std::string device = path.substr(6, path.find('/') - 6); // "keyboard"
    const std::string number = std::to_string(90 + q3emu::detail::indexOf(iface));
    const std::string vid = hex4(q3emu::kVendorId), pid = hex4(d.productId);
    std::string product;
    for (const wchar_t *c = d.product; *c; ++c)
        product += *c < 0x80 ? static_cast<char>(*c) : '?';

    const std::string usbPath = "/sys/devices/virtual/q3emu/" + device;
    EmuDevice *usb = makeDevice(context, "usb", "usb_device", usbPath, nullptr);
    usb->sysattrs = {{"idVendor", vid},
                     {"idProduct", pid},
                     {"manufacturer", "q3emu"},
                     {"product", product},
                     {"bcdDevice", hex4(d.releaseNumber)}};
    usb->properties["ID_VENDOR_ID"] = vid;
    usb->properties["ID_MODEL_ID"] = pid;
    usb->driver = "usb";

    char ifName[16];
    std::snprintf(ifName, sizeof ifName, ":1.%d", d.interfaceNumber);
    EmuDevice *usbIf = makeDevice(context, "usb", "usb_interface", usbPath + "/" + device + ifName, usb);
    usbIf->sysattrs["bInterfaceNumber"] = "0" + std::to_string(d.interfaceNumber);
    usbIf->sysattrs["bInterfaceClass"] = "03";
    usbIf->driver = "usbhid";

    char hidName[32];
    std::snprintf(hidName, sizeof hidName, "0003:%04X:%04X.00%s", q3emu::kVendorId, d.productId,
                  number.c_str());
    EmuDevice *hid = makeDevice(context, "hid", "", usbIf->syspath + "/" + hidName, usbIf);
    char hidId[32];
    std::snprintf(hidId, sizeof hidId, "0003:%08X:%08X", q3emu::kVendorId, d.productId);
    hid->properties["HID_ID"] = hidId;
    hid->properties["HID_NAME"] = "q3emu " + product;
    hid->properties["HID_UNIQ"] = "";
    hid->driver = "hid-generic";

    EmuDevice *raw = makeDevice(context, "hidraw", "", hid->syspath + "/hidraw/hidraw" + number, hid);
    raw->devnode = path;
    raw->action = added ? "add" : "remove";
    raw->seqnum = seqnum;
    raw->tags = {"seat", "uaccess"};
    raw->properties["ACTION"] = raw->action;
    raw->properties["DEVNAME"] = path;
    raw->properties["SEQNUM"] = std::to_string(seqnum);
    return raw;
}

bool passes(const EmuMonitor &m, const EmuDevice &d)
{
    bool subsystemOk = m.subsystems.empty();
    for (const auto &f : m.subsystems)
        if (f.first == d.subsystem && (!f.second || *f.second == d.devtype))
            subsystemOk = true;
    bool tagOk = m.tags.empty();
    for (const std::string &t : m.tags)
        for (const std::string &have : d.tags)
            tagOk = tagOk || t == have;
    return subsystemOk && tagOk;
}

void signal(EmuMonitor &m)
{
    const uint64_t one = 1;
    if (write(m.eventFd, &one, sizeof one) < 0) {
        // The counter cannot overflow at one per event; nothing to do.
    }
}

void drain(EmuMonitor &m)
{
    uint64_t count = 0;
    if (read(m.eventFd, &count, sizeof count) < 0) {
        // Already empty.
    }
}

const char *orNull(const std::string &s)
{
    return s.empty() ? nullptr : s.c_str();
}

} // namespace

namespace q3emu::detail {

void publishDeviceEvent(Interface iface, bool added)
{
    std::lock_guard<std::mutex> guard(hubLock);
    const unsigned long long seqnum = nextSeqnum++;
    for (const void *p : monitors()) {
        auto *m = static_cast<EmuMonitor *>(const_cast<void *>(p));
        if (!m->receiving)
            continue;
        EmuDevice *d = makeHidraw(m->context, iface, added, seqnum);
        if (!passes(*m, *d)) {
            release(d);
            continue;
        }
        m->queue.push_back(d);
        signal(*m);
    }
}

} // namespace q3emu::detail

extern "C" {

// --- monitors ------------------------------------------------------------------

udev_monitor *udev_monitor_new_from_netlink(udev *context, const char *name)
{
    const bool ourSource = name && (std::strcmp(name, "udev") == 0 || std::strcmp(name, "kernel") == 0);
    auto real = REAL(udev_monitor_new_from_netlink);
    if (!ourSource) {
        errno = EINVAL;
        return real && context ? real(context, name) : nullptr;
    }
    auto *m = new EmuMonitor;
    m->context = context;
    m->pollFd = epoll_create1(EPOLL_CLOEXEC);
    m->eventFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (m->pollFd < 0 || m->eventFd < 0) {
        if (m->pollFd >= 0)
            close(m->pollFd);
        if (m->eventFd >= 0)
            close(m->eventFd);
        delete m;
        return nullptr;
    }
    epoll_event ev{};
    ev.events = EPOLLIN;
    ev.data.fd = m->eventFd;
    epoll_ctl(m->pollFd, EPOLL_CTL_ADD, m->eventFd, &ev);
    // Without a real monitor (no libudev loaded, or no netlink socket allowed
    // here) the emulated events still arrive.
    if (real && context)
        m->real = real(context, name);
    if (m->real) {
        auto realFd = REAL(udev_monitor_get_fd);
        const int fd = realFd ? realFd(m->real) : -1;
        ev.data.fd = fd;
        if (fd >= 0)
            epoll_ctl(m->pollFd, EPOLL_CTL_ADD, fd, &ev);
    }
    std::lock_guard<std::mutex> guard(hubLock);
    monitors().insert(m);
    return reinterpret_cast<udev_monitor *>(m);
}

udev_monitor *udev_monitor_ref(udev_monitor *monitor)
{
    if (EmuMonitor *m = ours(monitor)) {
        ++m->refs;
        return monitor;
    }
    auto real = REAL(udev_monitor_ref);
    return real ? real(monitor) : nullptr;
}

udev_monitor *udev_monitor_unref(udev_monitor *monitor)
{
    EmuMonitor *m = ours(monitor);
    if (!m) {
        auto real = REAL(udev_monitor_unref);
        return real ? real(monitor) : nullptr;
    }
    if (--m->refs > 0)
        return nullptr;
    {
        std::lock_guard<std::mutex> guard(hubLock);
        monitors().erase(m);
        for (EmuDevice *d : m->queue)
            release(d);
    }
    if (m->real)
        if (auto real = REAL(udev_monitor_unref))
            real(m->real);
    close(m->pollFd);
    close(m->eventFd);
    delete m;
    return nullptr;
}

udev *udev_monitor_get_udev(udev_monitor *monitor)
{
    if (EmuMonitor *m = ours(monitor))
        return m->context;
    auto real = REAL(udev_monitor_get_udev);
    return real ? real(monitor) : nullptr;
}

int udev_monitor_enable_receiving(udev_monitor *monitor)
{
    EmuMonitor *m = ours(monitor);
    if (!m) {
        auto real = REAL(udev_monitor_enable_receiving);
        return real ? real(monitor) : -EINVAL;
    }
    if (m->real) {
        auto real = REAL(udev_monitor_enable_receiving);
        if (!real || real(m->real) < 0) {
            // A socket that cannot bind here brings no events; the emulated
            // ones do not need it.
            if (auto realFd = REAL(udev_monitor_get_fd))
                epoll_ctl(m->pollFd, EPOLL_CTL_DEL, realFd(m->real), nullptr);
            if (auto unref = REAL(udev_monitor_unref))
                unref(m->real);
            m->real = nullptr;
        }
    }
    std::lock_guard<std::mutex> guard(hubLock);
    m->receiving = true;
    return 0;
}

int udev_monitor_set_receive_buffer_size(udev_monitor *monitor, int size)
{
    EmuMonitor *m = ours(monitor);
    auto real = REAL(udev_monitor_set_receive_buffer_size);
    if (!m)
        return real ? real(monitor, size) : -EINVAL;
    return m->real && real ? real(m->real, size) : 0;
}

int udev_monitor_get_fd(udev_monitor *monitor)
{
    if (EmuMonitor *m = ours(monitor))
        return m->pollFd;
    auto real = REAL(udev_monitor_get_fd);
    return real ? real(monitor) : -EINVAL;
}

udev_device *udev_monitor_receive_device(udev_monitor *monitor)
{
    EmuMonitor *m = ours(monitor);
    auto real = REAL(udev_monitor_receive_device);
    if (!m)
        return real ? real(monitor) : nullptr;
    {
        std::lock_guard<std::mutex> guard(hubLock);
        if (!m->queue.empty()) {
            EmuDevice *d = m->queue.front();
            m->queue.pop_front();
            if (m->queue.empty())
                drain(*m);
            return handle(d);
        }
    }
    if (m->real && real)
        return real(m->real);
    errno = EAGAIN;
    return nullptr;
}

int udev_monitor_filter_add_match_subsystem_devtype(udev_monitor *monitor, const char *subsystem,
                                                    const char *devtype)
{
    EmuMonitor *m = ours(monitor);
    auto real = REAL(udev_monitor_filter_add_match_subsystem_devtype);
    if (!m)
        return real ? real(monitor, subsystem, devtype) : -EINVAL;
    if (!subsystem)
        return -EINVAL;
    if (m->real && real)
        real(m->real, subsystem, devtype);
    std::lock_guard<std::mutex> guard(hubLock);
    m->subsystems.emplace_back(subsystem, devtype ? std::optional<std::string>(devtype) : std::nullopt);
    return 0;
}

int udev_monitor_filter_add_match_tag(udev_monitor *monitor, const char *tag)
{
    EmuMonitor *m = ours(monitor);
    auto real = REAL(udev_monitor_filter_add_match_tag);
    if (!m)
        return real ? real(monitor, tag) : -EINVAL;
    if (!tag)
        return -EINVAL;
    if (m->real && real)
        real(m->real, tag);
    std::lock_guard<std::mutex> guard(hubLock);
    m->tags.emplace_back(tag);
    return 0;
}

int udev_monitor_filter_update(udev_monitor *monitor)
{
    EmuMonitor *m = ours(monitor);
    auto real = REAL(udev_monitor_filter_update);
    if (!m)
        return real ? real(monitor) : -EINVAL;
    return m->real && real ? real(m->real) : 0;
}

int udev_monitor_filter_remove(udev_monitor *monitor)
{
    EmuMonitor *m = ours(monitor);
    auto real = REAL(udev_monitor_filter_remove);
    if (!m)
        return real ? real(monitor) : -EINVAL;
    if (m->real && real)
        real(m->real);
    std::lock_guard<std::mutex> guard(hubLock);
    m->subsystems.clear();
    m->tags.clear();
    return 0;
}

// --- devices ----------------------------------------------------------------------

// Calls on a device that is not ours go to the real function with the same
// arguments; `fallback` is the result when there is no real libudev.
#define FORWARD(fn, fallback, ...)                                                                           \
    do {                                                                                                     \
        auto real = REAL(fn);                                                                                \
        return real ? real(__VA_ARGS__) : fallback;                                                          \
    } while (0)

udev_device *udev_device_ref(udev_device *device)
{
    if (EmuDevice *d = ours(device)) {
        ++d->refs;
        return device;
    }
    FORWARD(udev_device_ref, nullptr, device);
}

udev_device *udev_device_unref(udev_device *device)
{
    if (EmuDevice *d = ours(device)) {
        std::lock_guard<std::mutex> guard(hubLock);
        release(d);
        return nullptr;
    }
    FORWARD(udev_device_unref, nullptr, device);
}

udev *udev_device_get_udev(udev_device *device)
{
    if (EmuDevice *d = ours(device))
        return d->context;
    FORWARD(udev_device_get_udev, nullptr, device);
}

udev_device *udev_device_get_parent(udev_device *device)
{
    if (EmuDevice *d = ours(device))
        return handle(d->parent);
    FORWARD(udev_device_get_parent, nullptr, device);
}

udev_device *udev_device_get_parent_with_subsystem_devtype(udev_device *device, const char *subsystem,
                                                           const char *devtype)
{
    if (EmuDevice *d = ours(device)) {
        if (!subsystem) {
            errno = EINVAL;
            return nullptr;
        }
        for (EmuDevice *p = d->parent; p; p = p->parent)
            if (p->subsystem == subsystem && (!devtype || p->devtype == devtype))
                return handle(p);
        errno = ENOENT;
        return nullptr;
    }
    FORWARD(udev_device_get_parent_with_subsystem_devtype, nullptr, device, subsystem, devtype);
}

const char *udev_device_get_devpath(udev_device *device)
{
    if (EmuDevice *d = ours(device))
        return d->syspath.c_str() + 4; // without "/sys"
    FORWARD(udev_device_get_devpath, nullptr, device);
}

const char *udev_device_get_subsystem(udev_device *device)
{
    if (EmuDevice *d = ours(device))
        return d->subsystem.c_str();
    FORWARD(udev_device_get_subsystem, nullptr, device);
}

const char *udev_device_get_devtype(udev_device *device)
{
    if (EmuDevice *d = ours(device))
        return orNull(d->devtype);
    FORWARD(udev_device_get_devtype, nullptr, device);
}

const char *udev_device_get_syspath(udev_device *device)
{
    if (EmuDevice *d = ours(device))
        return d->syspath.c_str();
    FORWARD(udev_device_get_syspath, nullptr, device);
}

const char *udev_device_get_sysname(udev_device *device)
{
    if (EmuDevice *d = ours(device))
        return d->sysname.c_str();
    FORWARD(udev_device_get_sysname, nullptr, device);
}

const char *udev_device_get_sysnum(udev_device *device)
{
    if (EmuDevice *d = ours(device)) {
        std::size_t i = d->sysname.size();
        while (i > 0 && d->sysname[i - 1] >= '0' && d->sysname[i - 1] <= '9')
            --i;
        return i < d->sysname.size() ? d->sysname.c_str() + i : nullptr;
    }
    FORWARD(udev_device_get_sysnum, nullptr, device);
}

const char *udev_device_get_devnode(udev_device *device)
{
    if (EmuDevice *d = ours(device))
        return orNull(d->devnode);
    FORWARD(udev_device_get_devnode, nullptr, device);
}

int udev_device_get_is_initialized(udev_device *device)
{
    if (ours(device))
        return 1;
    FORWARD(udev_device_get_is_initialized, -EINVAL, device);
}

// Emulated devices have no list entries to hand out: their lists read empty.
udev_list_entry *udev_device_get_devlinks_list_entry(udev_device *device)
{
    if (ours(device))
        return nullptr;
    FORWARD(udev_device_get_devlinks_list_entry, nullptr, device);
}

udev_list_entry *udev_device_get_properties_list_entry(udev_device *device)
{
    if (ours(device))
        return nullptr;
    FORWARD(udev_device_get_properties_list_entry, nullptr, device);
}

udev_list_entry *udev_device_get_tags_list_entry(udev_device *device)
{
    if (ours(device))
        return nullptr;
    FORWARD(udev_device_get_tags_list_entry, nullptr, device);
}

udev_list_entry *udev_device_get_current_tags_list_entry(udev_device *device)
{
    if (ours(device))
        return nullptr;
    FORWARD(udev_device_get_current_tags_list_entry, nullptr, device);
}

udev_list_entry *udev_device_get_sysattr_list_entry(udev_device *device)
{
    if (ours(device))
        return nullptr;
    FORWARD(udev_device_get_sysattr_list_entry, nullptr, device);
}

const char *udev_device_get_property_value(udev_device *device, const char *key)
{
    if (EmuDevice *d = ours(device)) {
        if (!key)
            return nullptr;
        const auto it = d->properties.find(key);
        return it == d->properties.end() ? nullptr : it->second.c_str();
    }
    FORWARD(udev_device_get_property_value, nullptr, device, key);
}

const char *udev_device_get_driver(udev_device *device)
{
    if (EmuDevice *d = ours(device))
        return orNull(d->driver);
    FORWARD(udev_device_get_driver, nullptr, device);
}

dev_t udev_device_get_devnum(udev_device *device)
{
    if (ours(device))
        return 0;
    FORWARD(udev_device_get_devnum, 0, device);
}

const char *udev_device_get_action(udev_device *device)
{
    if (EmuDevice *d = ours(device))
        return orNull(d->action);
    FORWARD(udev_device_get_action, nullptr, device);
}

unsigned long long int udev_device_get_seqnum(udev_device *device)
{
    if (EmuDevice *d = ours(device))
        return d->seqnum;
    FORWARD(udev_device_get_seqnum, 0, device);
}

unsigned long long int udev_device_get_usec_since_initialized(udev_device *device)
{
    if (ours(device))
        return 0;
    FORWARD(udev_device_get_usec_since_initialized, 0, device);
}

const char *udev_device_get_sysattr_value(udev_device *device, const char *sysattr)
{
    if (EmuDevice *d = ours(device)) {
        if (!sysattr)
            return nullptr;
        const auto it = d->sysattrs.find(sysattr);
        return it == d->sysattrs.end() ? nullptr : it->second.c_str();
    }
    FORWARD(udev_device_get_sysattr_value, nullptr, device, sysattr);
}

int udev_device_set_sysattr_value(udev_device *device, const char *sysattr, const char *value)
{
    if (ours(device))
        return -EACCES;
    FORWARD(udev_device_set_sysattr_value, -ENOSYS, device, sysattr, value);
}

int udev_device_has_tag(udev_device *device, const char *tag)
{
    if (EmuDevice *d = ours(device)) {
        for (const std::string &t : d->tags)
            if (tag && t == tag)
                return 1;
        return 0;
    }
    FORWARD(udev_device_has_tag, 0, device, tag);
}

int udev_device_has_current_tag(udev_device *device, const char *tag)
{
    if (ours(device))
        return udev_device_has_tag(device, tag);
    FORWARD(udev_device_has_current_tag, 0, device, tag);
}

// Takes a device too; an emulated one has no children in sysfs to match.
int udev_enumerate_add_match_parent(udev_enumerate *enumerate, udev_device *parent)
{
    if (ours(parent))
        return -ENODEV;
    FORWARD(udev_enumerate_add_match_parent, -ENOSYS, enumerate, parent);
}

} // extern "C"
