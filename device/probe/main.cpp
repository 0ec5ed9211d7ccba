// gearpanel-probe: lists what discovery finds and reads the keyboard's
// firmware version, active profile and lighting. A quick check that the
// device link reaches a keyboard (or the emulated one) without the GUI.
#include "devinfo.h"
#include "hid_thread.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);

    const DevInfo info = loadDevInfo(kDevInfoResource, {"Q3 keyboard", "Q4 mouse"});
    Hid_Thread hid;
    hid.setDeviceList(info.records);
    isEncode = info.isEncode;
    hid.swichCurDevice(hid.curDid());

    out << "Devices in the description: " << hid.deviceCount() << '\n';
    for (int i = 0; i < hid.deviceCount(); ++i) {
        const DeviceEntry *d = hid.device(i);
        out << "  " << d->index() << ": " << d->name() << " (type " << d->type() << ", report length "
            << d->reportLength() << ")\n"
            << "     command interface: " << (d->cmdPath().isEmpty() ? "-" : d->cmdPath()) << '\n'
            << "     event interface:   " << (d->eventPath().isEmpty() ? "-" : d->eventPath()) << '\n';
    }

    const DeviceEntry *keyboard = hid.device(0);
    if (!keyboard || keyboard->cmdPath().isEmpty()) {
        out << "No keyboard found.\n";
        hid.stopMonitor();
        return 2;
    }

    ushort version = 0;
    uchar mode = 0, profile = 0;
    uchar led[6] = {};
    hid.hid_80H_GetFWVersion(version, mode);
    hid.hid_A1H_GetCurrentProfile(profile);
    hid.hid_88H_GetLEDType(led[0], led[1], led[2], led[3], led[4], led[5]);
    out << "Firmware version: "
        << QStringLiteral("%1.%2")
               .arg(version >> 8, 2, 16, QLatin1Char('0'))
               .arg(version & 0xFF, 2, 16, QLatin1Char('0'))
               .toUpper()
        << '\n'
        << "Layout mode: " << (mode ? "Spanish" : "English") << '\n'
        << "Active profile: " << profile + 1 << '\n'
        << "Lighting: effect " << led[0] << ", brightness " << led[1] << ", speed " << led[2] << '\n';
    out.flush();
    hid.stopMonitor();
    return 0;
}
