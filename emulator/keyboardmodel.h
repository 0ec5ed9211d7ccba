// The one process-wide emulated keyboard: which interfaces are plugged, the
// open handles, the endpoints' queues, injected faults, transfer timing and
// the wire trace, around the firmware that interprets what arrives.
//
// Every member function takes the model's mutex itself. Transfer delays and
// injected timeouts are slept with the mutex released, so a host thread that
// blocks in a read never holds up another thread's feature report.
#pragma once

#include "bootloader.h"
#include "firmware.h"
#include "q3emu.h"
#include "sharedstate.h"
#include "usbidentity.h"

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace q3emu::detail {

// What a hid_device handle holds on to: the interface and the plug
// generation it was opened in. Once the interface is unplugged (or the model
// reset) the generation moves on and the ticket is dead for good, as a hidraw
// file descriptor is after its device node has gone.
struct Ticket {
    Interface iface = Interface::Command;
    uint64_t generation = 0;
    uint64_t epoch = 0; // reset() count; handles of an older epoch are not counted as open
};

enum class Failure { None, Unplugged, NotPlugged, Injected, NoAnswer, BadArgument };

struct Transfer {
    int result;      // bytes transferred, 0 on a read timeout, -1 on failure
    Failure failure; // why it failed
};

class KeyboardModel
{
public:
    static KeyboardModel &instance();

    KeyboardModel(const KeyboardModel &) = delete;
    KeyboardModel &operator=(const KeyboardModel &) = delete;

    // --- control side (q3emu.h) ---
    void reset(Scenario scenario);
    void plug(Interface iface);
    void unplug(Interface iface);
    bool isPlugged(Interface iface);
    int openHandleCount(Interface iface);
    void setReportDelay(std::chrono::microseconds delay);
    void setScrambling(bool on);
    void setReenumerationDelay(std::chrono::milliseconds delay);
    void setFlashGeometry(const FlashGeometry &geometry);

    void emitEventReport(const std::vector<uint8_t> &report);
    void pressProfileKey(int profile);
    void pressLightingKeys(uint8_t effect, uint8_t brightness, uint8_t speed);

    void failOpen(Interface iface, int count);
    void failFeatureSend(int count);
    void failFeatureRead(int count);
    void failOutputWrite(int afterGood, int count);
    void failInputRead(int afterGood, int count);
    void limitDataPhaseReports(int reports);
    void setInputReportLength(int length, int fromReport);
    void stopAnswering(std::chrono::milliseconds timeout);
    void refuseBootLoaderEntry(int count);
    void failBootLoaderStep(BootLoaderStep step, int count);
    void garbleBootLoaderAnswers(int count);
    void vanishAfterWrites(Interface iface, int writes);
    void clearFaults();
    void serveRawExchanges(const std::vector<RawExchange> &exchanges);
    int pendingRawExchanges();

    KeyboardState state();
    void setState(const KeyboardState &s);
    std::vector<TraceEntry> trace();
    void clearTrace();
    BootLoaderState bootLoaderState();

    // --- host side (the hidapi shim) ---
    std::vector<Interface> pluggedInterfaces(); // in enumeration order
    Transfer open(Interface iface, Ticket &ticket);
    void close(const Ticket &ticket);
    Transfer sendFeature(const Ticket &t, const uint8_t *data, std::size_t length);
    Transfer getFeature(const Ticket &t, uint8_t *data, std::size_t length);
    Transfer write(const Ticket &t, const uint8_t *data, std::size_t length);
    // timeoutMs < 0 waits until a report arrives or the interface goes away.
    Transfer read(const Ticket &t, uint8_t *data, std::size_t length, int timeoutMs);

    // Where the keyboard is shared with other processes, empty when private.
    std::string sharedPath();

private:
    // The model's mutex. With a shared keyboard, taking it also locks the
    // shared file and reads what another process wrote since; giving it up
    // writes back what changed here and unlocks the file. Waits on the
    // condition variables give up both, so a process waiting for a report
    // never holds up another.
    class ModelMutex
    {
    public:
        explicit ModelMutex(KeyboardModel &model) : model_(model) {}
        void lock();
        void unlock();

    private:
        KeyboardModel &model_;
        std::mutex mutex_;
    };
    friend class ModelMutex;

    using Lock = std::unique_lock<ModelMutex>;
    using Clock = std::chrono::steady_clock;

    // With the shared file locked: take what another process wrote, or
    // publish what this one changed.
    void importShared();
    void exportShared();

    struct Faults {
        std::array<int, kInterfaceCount> open{};
        int featureSend = 0;
        int featureRead = 0;
        int outputGood = 0;
        int outputFail = 0;
        int inputGood = 0;
        int inputFail = 0;
        int dataPhaseReports = -1;
        int inputReportLength = -1;
        int inputReportLengthFrom = 0;
        std::optional<std::chrono::milliseconds> silentAfter;
        int refuseEntry = 0;
        std::optional<Interface> vanishIface;
        int vanishWrites = -1;
    };

    KeyboardModel();

    void resetLocked(Scenario scenario);
    // Plugging and unplugging that also report a device event.
    void plugLocked(Interface iface);
    void unplugLocked(Interface iface);
    void unplugDeviceOf(Interface iface);
    bool liveLocked(const Ticket &t) const;
    // The keyboard leaves its current identity for `target` at once; the new
    // one appears after the re-enumeration delay, or at once when `now`.
    void switchMode(Mode target, bool now);
    void arrive();
    // Acts on a re-enumeration that is due; called on every entry, and by
    // the timer thread so that the arrival is seen without a call.
    void checkTimers();
    void timerLoop();
    void leaveForUserProgram();
    void sleepDelay(Lock &lock);
    void deliverCommand(Interface iface, const packet::Packet &wire);
    void queueDataPhase(std::size_t slot, const std::vector<uint8_t> &data);
    void queueEventReport(const std::vector<uint8_t> &report);
    void record(TraceEntry::Kind kind, Interface iface, const uint8_t *bytes, std::size_t length);
    // Guards shared by feature reports and writes; an engaged result ends the call.
    std::optional<Transfer> refuseTransfer(Lock &lock, const Ticket &t, const void *data, std::size_t length);

    ModelMutex mutex_{*this};
    std::condition_variable_any changed_;

    KeyboardState state_;
    NormalFirmware firmware_{state_};
    BootLoaderFirmware bootLoader_;

    std::array<bool, kInterfaceCount> plugged_{};
    std::array<uint64_t, kInterfaceCount> generation_{};
    std::array<int, kInterfaceCount> openHandles_{};
    uint64_t epoch_ = 0;

    // Indexed by slot: the command interface's two nodes share one.
    std::array<packet::Packet, kInterfaceCount> answers_{};
    std::array<std::deque<std::vector<uint8_t>>, kInterfaceCount> inbox_;

    bool bootLoaderConfirmPending_ = false; // leave once the 8FH answer has been read
    bool leavePending_ = false;             // leave once the Run answer has been read
    std::chrono::milliseconds reenumerationDelay_{200};
    std::optional<Clock::time_point> arrivalAt_;
    std::condition_variable_any timerWake_;
    bool timerStarted_ = false;
    bool announce_ = true; // report plugs and unplugs as device events

    // Raw exchanges still to serve, and the answer of the one being served
    // (the command interface's answer while engaged).
    std::deque<RawExchange> rawExchanges_;
    std::optional<std::vector<uint8_t>> rawAnswer_;

    std::chrono::microseconds delay_{1000};
    Faults faults_;
    std::vector<TraceEntry> trace_;

    SharedState shared_;
    uint64_t sharedSequence_ = 0; // the last write of the shared file this process has seen or made
};

} // namespace q3emu::detail
