// What the emulated keyboard looks like on the bus: one record per interface,
// in the order hid_enumerate lists them.
#pragma once

#include "q3emu.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace q3emu::detail {

constexpr std::size_t kInterfaceCount = 5;

struct InterfaceDescriptor {
    Interface iface;
    const char *path;
    uint16_t productId;
    uint16_t releaseNumber;
    uint16_t usagePage;
    uint16_t usage;
    int interfaceNumber;
    const wchar_t *product;
    std::size_t inputReportBytes; // data bytes of one input report, report id not counted
};

constexpr const wchar_t *kManufacturer = L"q3emu";

// Command, Event, SecondCommand, Mouse, BootLoader.
const std::array<InterfaceDescriptor, kInterfaceCount> &interfaceTable();
const InterfaceDescriptor &descriptorOf(Interface iface);
std::size_t indexOf(Interface iface);

// The command interface's usage pair appears on two nodes in one scenario;
// both reach the same command handler of the keyboard.
bool isCommandInterface(Interface iface);

} // namespace q3emu::detail
