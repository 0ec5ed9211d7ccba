// The control API of q3emu.h, forwarded to the one keyboard model.
#include "keyboardmodel.h"
#include "q3emu.h"
#include "usbidentity.h"

namespace q3emu {

namespace {
detail::KeyboardModel &model()
{
    return detail::KeyboardModel::instance();
}
} // namespace

void reset(Scenario scenario)
{
    model().reset(scenario);
}
void plug(Interface iface)
{
    model().plug(iface);
}
void unplug(Interface iface)
{
    model().unplug(iface);
}
bool isPlugged(Interface iface)
{
    return model().isPlugged(iface);
}
int openHandleCount(Interface iface)
{
    return model().openHandleCount(iface);
}
void setReportDelay(std::chrono::microseconds delay)
{
    model().setReportDelay(delay);
}
void setScrambling(bool on)
{
    model().setScrambling(on);
}
void setReenumerationDelay(std::chrono::milliseconds delay)
{
    model().setReenumerationDelay(delay);
}
void setFlashGeometry(const FlashGeometry &geometry)
{
    model().setFlashGeometry(geometry);
}

void emitEventReport(const std::vector<uint8_t> &report)
{
    model().emitEventReport(report);
}
void pressProfileKey(int profile)
{
    model().pressProfileKey(profile);
}
void pressLightingKeys(uint8_t effect, uint8_t brightness, uint8_t speed)
{
    model().pressLightingKeys(effect, brightness, speed);
}

void failOpen(Interface iface, int count)
{
    model().failOpen(iface, count);
}
void failFeatureSend(int count)
{
    model().failFeatureSend(count);
}
void failFeatureRead(int count)
{
    model().failFeatureRead(count);
}
void failOutputWrite(int afterGood, int count)
{
    model().failOutputWrite(afterGood, count);
}
void failInputRead(int afterGood, int count)
{
    model().failInputRead(afterGood, count);
}
void limitDataPhaseReports(int reports)
{
    model().limitDataPhaseReports(reports);
}
void setInputReportLength(int length, int fromReport)
{
    model().setInputReportLength(length, fromReport);
}
void stopAnswering(std::chrono::milliseconds timeout)
{
    model().stopAnswering(timeout);
}
void refuseBootLoaderEntry(int count)
{
    model().refuseBootLoaderEntry(count);
}
void failBootLoaderStep(BootLoaderStep step, int count)
{
    model().failBootLoaderStep(step, count);
}
void garbleBootLoaderAnswers(int count)
{
    model().garbleBootLoaderAnswers(count);
}
void vanishAfterWrites(Interface iface, int writes)
{
    model().vanishAfterWrites(iface, writes);
}
void clearFaults()
{
    model().clearFaults();
}
void serveRawExchanges(const std::vector<RawExchange> &exchanges)
{
    model().serveRawExchanges(exchanges);
}
int pendingRawExchanges()
{
    return model().pendingRawExchanges();
}

KeyboardState state()
{
    return model().state();
}
void setState(const KeyboardState &s)
{
    model().setState(s);
}
std::vector<TraceEntry> trace()
{
    return model().trace();
}
void clearTrace()
{
    model().clearTrace();
}
std::string pathOf(Interface iface)
{
    return detail::descriptorOf(iface).path;
}
BootLoaderState bootLoaderState()
{
    return model().bootLoaderState();
}
std::string sharedStatePath()
{
    return model().sharedPath();
}

} // namespace q3emu
