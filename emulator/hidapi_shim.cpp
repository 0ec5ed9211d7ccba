// The hidapi C API, served by the keyboard model instead of hidraw.
//
// Handles and enumeration lists are plain heap objects owned by the caller
// until hid_close / hid_free_enumeration, exactly as with the real library.
// Nothing here ever opens a file: a path that names a real device node means
// a test or tool is about to talk to hardware by mistake, and that aborts.

#include "keyboardmodel.h"
#include "usbidentity.h"

#pragma GCC visibility push(default)
#include <hidapi.h>
#pragma GCC visibility pop

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

using q3emu::Interface;
using q3emu::detail::Failure;
using q3emu::detail::KeyboardModel;
using q3emu::detail::Ticket;
using q3emu::detail::Transfer;

struct hid_device_ {
    Ticket ticket;
    std::atomic<bool> nonblocking{false};
    std::atomic<const wchar_t *> error{nullptr};
    hid_device_info *info = nullptr;
};

namespace {

const wchar_t *describe(Failure failure)
{
    switch (failure) {
    case Failure::None:
        return L"Success";
    case Failure::Unplugged:
        return L"q3emu: the device has been unplugged";
    case Failure::NotPlugged:
        return L"q3emu: no such device";
    case Failure::Injected:
        return L"q3emu: transfer failed (injected fault)";
    case Failure::NoAnswer:
        return L"q3emu: the device did not answer (timeout)";
    case Failure::BadArgument:
        return L"q3emu: invalid argument";
    }
    return L"q3emu: unknown error";
}

// Only static strings, so a pointer handed out stays valid whatever another
// thread does next.
thread_local const wchar_t *globalError = nullptr;

int finish(hid_device *dev, Transfer t)
{
    dev->error = t.failure == Failure::None ? nullptr : describe(t.failure);
    return t.result;
}

wchar_t *copyWide(const wchar_t *s)
{
    const std::size_t n = std::wcslen(s) + 1;
    auto *copy = static_cast<wchar_t *>(std::malloc(n * sizeof(wchar_t)));
    if (copy)
        std::wmemcpy(copy, s, n);
    return copy;
}

hid_device_info *makeInfo(Interface iface)
{
    const q3emu::detail::InterfaceDescriptor &d = q3emu::detail::descriptorOf(iface);
    auto *info = static_cast<hid_device_info *>(std::calloc(1, sizeof(hid_device_info)));
    if (!info)
        return nullptr;
    info->path = strdup(d.path);
    info->vendor_id = q3emu::kVendorId;
    info->product_id = d.productId;
    info->serial_number = copyWide(L"");
    info->release_number = d.releaseNumber;
    info->manufacturer_string = copyWide(q3emu::detail::kManufacturer);
    info->product_string = copyWide(d.product);
    info->usage_page = d.usagePage;
    info->usage = d.usage;
    info->interface_number = d.interfaceNumber;
    info->next = nullptr;
    info->bus_type = HID_API_BUS_USB;
    return info;
}

void freeInfo(hid_device_info *info)
{
    std::free(info->path);
    std::free(info->serial_number);
    std::free(info->manufacturer_string);
    std::free(info->product_string);
    std::free(info);
}

hid_device *openInterface(Interface iface)
{
    Ticket ticket;
    const Transfer t = KeyboardModel::instance().open(iface, ticket);
    if (t.failure != Failure::None) {
        globalError = describe(t.failure);
        return nullptr;
    }
    auto *dev = new hid_device_;
    dev->ticket = ticket;
    dev->info = makeInfo(iface);
    globalError = nullptr;
    return dev;
}

int copyString(hid_device *dev, const wchar_t *s, wchar_t *out, std::size_t maxlen)
{
    if (!dev || !out || maxlen == 0) {
        if (dev)
            dev->error = describe(Failure::BadArgument);
        return -1;
    }
    std::wcsncpy(out, s, maxlen);
    out[maxlen - 1] = L'\0';
    dev->error = nullptr;
    return 0;
}

} // namespace

extern "C" {

int hid_init(void)
{
    KeyboardModel::instance();
    return 0;
}

int hid_exit(void)
{
    return 0;
}

hid_device_info *hid_enumerate(unsigned short vendor_id, unsigned short product_id)
{
    hid_device_info *head = nullptr;
    hid_device_info **tail = &head;
    for (Interface iface : KeyboardModel::instance().pluggedInterfaces()) {
        const q3emu::detail::InterfaceDescriptor &d = q3emu::detail::descriptorOf(iface);
        if ((vendor_id != 0 && vendor_id != q3emu::kVendorId) ||
            (product_id != 0 && product_id != d.productId))
            continue;
        hid_device_info *info = makeInfo(iface);
        if (!info)
            break;
        *tail = info;
        tail = &info->next;
    }
    globalError = head ? nullptr : L"q3emu: no HID devices found";
    return head;
}

void hid_free_enumeration(hid_device_info *devs)
{
    while (devs) {
        hid_device_info *next = devs->next;
        freeInfo(devs);
        devs = next;
    }
}

hid_device *hid_open(unsigned short vendor_id, unsigned short product_id, const wchar_t *serial_number)
{
    for (Interface iface : KeyboardModel::instance().pluggedInterfaces()) {
        const q3emu::detail::InterfaceDescriptor &d = q3emu::detail::descriptorOf(iface);
        if (vendor_id != q3emu::kVendorId || product_id != d.productId)
            continue;
        if (serial_number && *serial_number != L'\0')
            break; // the emulated devices carry no serial number
        return openInterface(iface);
    }
    globalError = describe(Failure::NotPlugged);
    return nullptr;
}

hid_device *hid_open_path(const char *path)
{
    if (!path) {
        globalError = describe(Failure::BadArgument);
        return nullptr;
    }
    if (std::strncmp(path, "/dev/", 5) == 0) {
        std::fprintf(stderr, "q3emu: refusing to open the real device %s; only q3emu: paths exist here\n",
                     path);
        std::abort();
    }
    for (const q3emu::detail::InterfaceDescriptor &d : q3emu::detail::interfaceTable())
        if (std::strcmp(path, d.path) == 0)
            return openInterface(d.iface);
    globalError = describe(Failure::NotPlugged);
    return nullptr;
}

int hid_write(hid_device *dev, const unsigned char *data, size_t length)
{
    if (!dev)
        return -1;
    return finish(dev, KeyboardModel::instance().write(dev->ticket, data, length));
}

int hid_read_timeout(hid_device *dev, unsigned char *data, size_t length, int milliseconds)
{
    if (!dev)
        return -1;
    return finish(
        dev, KeyboardModel::instance().read(dev->ticket, data, length, milliseconds < 0 ? -1 : milliseconds));
}

int hid_read(hid_device *dev, unsigned char *data, size_t length)
{
    if (!dev)
        return -1;
    return hid_read_timeout(dev, data, length, dev->nonblocking ? 0 : -1);
}

int hid_set_nonblocking(hid_device *dev, int nonblock)
{
    if (!dev)
        return -1;
    dev->nonblocking = nonblock != 0;
    return 0;
}

int hid_send_feature_report(hid_device *dev, const unsigned char *data, size_t length)
{
    if (!dev)
        return -1;
    return finish(dev, KeyboardModel::instance().sendFeature(dev->ticket, data, length));
}

int hid_get_feature_report(hid_device *dev, unsigned char *data, size_t length)
{
    if (!dev)
        return -1;
    return finish(dev, KeyboardModel::instance().getFeature(dev->ticket, data, length));
}

// The keyboard answers no GET_REPORT(Input) request; its input reports come
// over the interrupt endpoint only.
int hid_get_input_report(hid_device *dev, unsigned char *, size_t)
{
    if (!dev)
        return -1;
    dev->error = L"q3emu: the device does not answer input report requests";
    return -1;
}

void hid_close(hid_device *dev)
{
    if (!dev)
        return;
    KeyboardModel::instance().close(dev->ticket);
    freeInfo(dev->info);
    delete dev;
}

int hid_get_manufacturer_string(hid_device *dev, wchar_t *string, size_t maxlen)
{
    return copyString(dev, q3emu::detail::kManufacturer, string, maxlen);
}

int hid_get_product_string(hid_device *dev, wchar_t *string, size_t maxlen)
{
    return copyString(dev, dev ? q3emu::detail::descriptorOf(dev->ticket.iface).product : L"", string,
                      maxlen);
}

int hid_get_serial_number_string(hid_device *dev, wchar_t *string, size_t maxlen)
{
    return copyString(dev, L"", string, maxlen);
}

hid_device_info *hid_get_device_info(hid_device *dev)
{
    return dev ? dev->info : nullptr;
}

int hid_get_indexed_string(hid_device *dev, int, wchar_t *, size_t)
{
    if (dev)
        dev->error = L"q3emu: hid_get_indexed_string is not supported (as with hidraw)";
    return -1;
}

const wchar_t *hid_error(hid_device *dev)
{
    const wchar_t *e = dev ? dev->error.load() : globalError;
    return e ? e : L"Success";
}

const hid_api_version *hid_version(void)
{
    static const hid_api_version version = {HID_API_VERSION_MAJOR, HID_API_VERSION_MINOR,
                                            HID_API_VERSION_PATCH};
    return &version;
}

const char *hid_version_str(void)
{
    return HID_API_VERSION_STR;
}

} // extern "C"
