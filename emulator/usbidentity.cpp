#include "usbidentity.h"

namespace q3emu::detail {

const std::array<InterfaceDescriptor, kInterfaceCount> &interfaceTable()
{
    static const std::array<InterfaceDescriptor, kInterfaceCount> table = {{
        {Interface::Command, "q3emu:keyboard/command", kKeyboardProductId, 0x0201, 0xFF01, 0x0001, 1,
         L"Q3 Gaming Keyboard (emulated)", 64},
        {Interface::Event, "q3emu:keyboard/event", kKeyboardProductId, 0x0201, 0xFF02, 0x0001, 2,
         L"Q3 Gaming Keyboard (emulated)", 12},
        {Interface::SecondCommand, "q3emu:keyboard/command-2", kKeyboardProductId, 0x0201, 0xFF01, 0x0001, 3,
         L"Q3 Gaming Keyboard (emulated)", 64},
        {Interface::Mouse, "q3emu:mouse/vendor", kMouseProductId, 0x0100, 0xFF00, 0xFF00, 1,
         L"Q4 Gaming Mouse (emulated)", 32},
        {Interface::BootLoader, "q3emu:bootloader/isp", kBootLoaderProductId, 0x0100, 0xFF00, 0x0020, 0,
         L"Q3 Boot Loader (emulated)", 64},
    }};
    return table;
}

std::size_t indexOf(Interface iface)
{
    switch (iface) {
    case Interface::Command:
        return 0;
    case Interface::Event:
        return 1;
    case Interface::SecondCommand:
        return 2;
    case Interface::Mouse:
        return 3;
    case Interface::BootLoader:
        return 4;
    }
    return 0;
}

const InterfaceDescriptor &descriptorOf(Interface iface)
{
    return interfaceTable()[indexOf(iface)];
}

bool isCommandInterface(Interface iface)
{
    return iface == Interface::Command || iface == Interface::SecondCommand;
}

} // namespace q3emu::detail
