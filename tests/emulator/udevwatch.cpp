// A program that knows nothing of the emulator: it links the real libudev
// and the real hidapi, asks the keyboard into its boot loader and prints the
// hidraw events its udev monitor delivers ("ACTION SYSNAME DEVNODE"), until
// it has seen `count` of them or 3 s have passed.
//
//   udevwatch SOURCE COUNT     SOURCE: "udev" or "kernel"
//
// The tests run it with libq3emu.so preloaded, as ./run.sh runs romwriter.
#include <hidapi.h>
#include <libudev.h>

#include <poll.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool enterBootLoader()
{
    hid_device_info *list = hid_enumerate(0x04D9, 0);
    const char *path = nullptr;
    for (hid_device_info *d = list; d && !path; d = d->next)
        if (d->usage_page == 0xFF01 && d->usage == 0x0001)
            path = d->path;
    hid_device *dev = path ? hid_open_path(path) : nullptr;
    hid_free_enumeration(list);
    if (!dev)
        return false;
    const unsigned char enter[9] = {0, 0x0F, 0x51, 0x33, 0x42, 0x4F, 0x4F, 0x54, 0xA5};
    const unsigned char query[9] = {0, 0x8F, 0, 0, 0, 0, 0, 0, 0x70};
    unsigned char answer[9] = {0};
    const bool ok = hid_send_feature_report(dev, enter, sizeof enter) == 9 &&
                    hid_send_feature_report(dev, query, sizeof query) == 9 &&
                    hid_get_feature_report(dev, answer, sizeof answer) == 9 && answer[2] == 0xFF;
    hid_close(dev);
    return ok;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 3)
        return 2;
    const int wanted = std::atoi(argv[2]);
    udev *context = udev_new();
    udev_monitor *monitor = udev_monitor_new_from_netlink(context, argv[1]);
    if (!monitor) {
        std::printf("no monitor\n");
        return 1;
    }
    udev_monitor_filter_add_match_subsystem_devtype(monitor, "hidraw", nullptr);
    udev_monitor_enable_receiving(monitor);
    if (!enterBootLoader()) {
        std::printf("no boot loader entry\n");
        return 1;
    }

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    int seen = 0;
    while (seen < wanted && std::chrono::steady_clock::now() < deadline) {
        pollfd p = {udev_monitor_get_fd(monitor), POLLIN, 0};
        if (poll(&p, 1, 100) <= 0)
            continue;
        while (udev_device *d = udev_monitor_receive_device(monitor)) {
            if (std::strcmp(udev_device_get_subsystem(d), "hidraw") == 0) {
                const char *node = udev_device_get_devnode(d);
                std::printf("%s %s %s\n", udev_device_get_action(d), udev_device_get_sysname(d),
                            node ? node : "-");
                ++seen;
            }
            udev_device_unref(d);
        }
    }
    std::fflush(stdout);
    udev_monitor_unref(monitor);
    udev_unref(context);
    return seen == wanted ? 0 : 1;
}
