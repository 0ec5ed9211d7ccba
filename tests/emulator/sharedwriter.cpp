// A program of its own on the shared emulated keyboard (Q3EMU_STATE names
// it), for tst_sharedkeyboard:
//   sharedwriter macros FIRST COUNT  writes macro FIRST.. with 10H through the
//                                    device link, each block filled with its id
//   sharedwriter unplug              pulls the keyboard out
//   sharedwriter show                prints "<firmware> <profile> <plugged>"
#include "devinfo.h"
#include "hid_thread.h"
#include "q3emu.h"

#include <QCoreApplication>
#include <QThread>

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    const std::string what = argv[1];
    if (q3emu::sharedStatePath().empty())
        return 3; // not sharing: the test would prove nothing
    if (what == "unplug") {
        q3emu::unplug(q3emu::Interface::Command);
        q3emu::unplug(q3emu::Interface::Event);
        return 0;
    }
    if (what == "show") {
        const q3emu::KeyboardState s = q3emu::state();
        std::printf("%04x %d %d\n", unsigned(s.firmwareVersion), int(s.activeProfile),
                    int(q3emu::isPlugged(q3emu::Interface::Command)));
        return 0;
    }
    if (what != "macros" || argc < 4)
        return 2;
    const int first = std::atoi(argv[2]);
    const int count = std::atoi(argv[3]);
    DevInfoRecord keyboard;
    keyboard.type = 0;
    keyboard.vid = q3emu::kVendorId;
    keyboard.pid = q3emu::kKeyboardProductId;
    keyboard.usagePage = 0xFF01;
    keyboard.usage = 0x0001;
    keyboard.usagePage2 = 0xFF02;
    keyboard.usage2 = 0x0001;
    keyboard.reportLength = 64;
    Hid_Thread link;
    link.setDeviceList({keyboard});
    if (!link.isDevicePresent(0))
        return 4;
    for (int id = first; id < first + count; ++id) {
        uchar block[128];
        std::memset(block, id, sizeof block);
        link.hid_10H_SetMacroKey(uchar(id), block);
    }
    while (!link.isLinkIdle())
        QThread::msleep(1);
    return 0;
}
