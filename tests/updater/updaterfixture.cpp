#include "updaterfixture.h"

#include <QDir>
#include <QFile>

#include <mutex>
#include <vector>

namespace updaterfixture {

void plugKeyboard()
{
    q3emu::plug(q3emu::Interface::Command);
    q3emu::plug(q3emu::Interface::Event);
}

void unplugKeyboard()
{
    q3emu::unplug(q3emu::Interface::Command);
    q3emu::unplug(q3emu::Interface::Event);
}

std::vector<q3emu::TraceEntry> commandsSent(uint8_t code)
{
    std::vector<q3emu::TraceEntry> out;
    for (const auto &e : q3emu::trace())
        if (e.kind == q3emu::TraceEntry::Kind::FeatureSent && e.iface == q3emu::Interface::Command &&
            e.bytes.size() > 1 && e.bytes[1] == code)
            out.push_back(e);
    return out;
}

} // namespace updaterfixture
