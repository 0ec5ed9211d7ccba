#include "keyboardmodel.h"

#include "deviceevents.h"

#include <algorithm>
#include <cstring>
#include <thread>

namespace q3emu::detail {

namespace {

constexpr std::chrono::microseconds kDefaultReportDelay{1000};
constexpr std::chrono::milliseconds kDefaultReenumerationDelay{200};

// Both nodes of the command usage pair lead to the same endpoint.
std::size_t slotOf(Interface iface)
{
    return indexOf(iface == Interface::SecondCommand ? Interface::Command : iface);
}

// A fault count of -1 fails forever, n > 0 fails n more times.
bool take(int &count)
{
    if (count == 0)
        return false;
    if (count > 0)
        --count;
    return true;
}

bool sameDevice(Interface a, Interface b)
{
    auto device = [](Interface i) {
        return i == Interface::Mouse || i == Interface::BootLoader ? int(i) : 0;
    };
    return device(a) == device(b);
}

// `good` transfers pass before the fault starts to bite.
bool takeAfterGood(int &good, int &count)
{
    if (count == 0)
        return false;
    if (good > 0) {
        --good;
        return false;
    }
    return take(count);
}

} // namespace

KeyboardModel &KeyboardModel::instance()
{
    // Never destroyed: host threads may still sit in a read while the process
    // runs its exit handlers.
    static KeyboardModel *model = new KeyboardModel;
    return *model;
}

// What is plugged at start was plugged before the program ran: no events.
// A shared keyboard is taken as the other programs left it; the first
// program makes it in factory state.
KeyboardModel::KeyboardModel()
{
    announce_ = false;
    resetLocked(Scenario::Keyboard);
    const std::string location = SharedState::location();
    if (!location.empty() && shared_.open(location)) {
        shared_.lock();
        if (shared_.isValid())
            importShared();
        else
            exportShared();
        shared_.unlock();
    }
    announce_ = true;
    if (shared_.isOpen()) {
        // Changes made elsewhere are taken in by the timer thread too, so
        // that an idle program still sees the keyboard come and go.
        timerStarted_ = true;
        std::thread([this] { timerLoop(); }).detach();
    }
}

void KeyboardModel::ModelMutex::lock()
{
    mutex_.lock();
    if (model_.shared_.isOpen()) {
        model_.shared_.lock();
        if (model_.shared_.block().sequence != model_.sharedSequence_) {
            if (model_.shared_.isValid())
                model_.importShared();
            else
                model_.exportShared(); // damaged or foreign: ours replaces it
        }
    }
}

void KeyboardModel::ModelMutex::unlock()
{
    if (model_.shared_.isOpen()) {
        model_.exportShared();
        model_.shared_.unlock();
    }
    mutex_.unlock();
}

namespace {

int64_t toNs(const std::optional<std::chrono::steady_clock::time_point> &t)
{
    // 0 stands for "none"; a real time point is never the clock's epoch.
    return t ? std::max<int64_t>(1, std::chrono::duration_cast<std::chrono::nanoseconds>(t->time_since_epoch()).count())
             : 0;
}

} // namespace

void KeyboardModel::importShared()
{
    SharedBlock &b = shared_.block();
    // Byte copies both ways, padding included, so that an unchanged state
    // compares equal and is not written back.
    std::memcpy(static_cast<void *>(&state_), &b.state, sizeof state_);
    if (b.arrivalAtNs == 0)
        arrivalAt_.reset();
    else
        arrivalAt_ = Clock::time_point(std::chrono::nanoseconds(b.arrivalAtNs));
    // Plugs and unplugs made by another program reach this one's monitors
    // and open handles as if they had happened here.
    for (const InterfaceDescriptor &d : interfaceTable()) {
        const bool plugged = b.plugged[indexOf(d.iface)] != 0;
        if (plugged && !plugged_[indexOf(d.iface)])
            plugLocked(d.iface);
        else if (!plugged && plugged_[indexOf(d.iface)])
            unplugLocked(d.iface);
    }
    sharedSequence_ = b.sequence;
}

void KeyboardModel::exportShared()
{
    SharedBlock &b = shared_.block();
    bool same = shared_.isValid() && b.sequence == sharedSequence_ && b.arrivalAtNs == toNs(arrivalAt_) &&
                std::memcmp(&b.state, &state_, sizeof state_) == 0;
    for (std::size_t i = 0; same && i < kInterfaceCount; ++i)
        same = (b.plugged[i] != 0) == plugged_[i];
    if (same)
        return;
    shared_.stamp();
    std::memcpy(static_cast<void *>(&b.state), &state_, sizeof state_);
    b.arrivalAtNs = toNs(arrivalAt_);
    for (std::size_t i = 0; i < kInterfaceCount; ++i)
        b.plugged[i] = plugged_[i] ? 1 : 0;
    b.sequence = std::max<uint64_t>(b.sequence, sharedSequence_) + 1;
    sharedSequence_ = b.sequence;
}

std::string KeyboardModel::sharedPath()
{
    return shared_.isOpen() ? shared_.path() : std::string();
}

// --- plugging ----------------------------------------------------------------

void KeyboardModel::resetLocked(Scenario scenario)
{
    ++epoch_;
    for (const InterfaceDescriptor &d : interfaceTable())
        unplugLocked(d.iface);
    openHandles_.fill(0);

    state_ = factoryState();
    firmware_.restart();
    firmware_.setScrambling(false);
    bootLoader_.factoryReset();
    answers_.fill(packet::Packet{});
    for (auto &q : inbox_)
        q.clear();
    rawExchanges_.clear();
    rawAnswer_.reset();
    bootLoaderConfirmPending_ = false;
    leavePending_ = false;
    arrivalAt_.reset();
    reenumerationDelay_ = kDefaultReenumerationDelay;
    delay_ = kDefaultReportDelay;
    faults_ = Faults{};
    trace_.clear();

    switch (scenario) {
    case Scenario::NoKeyboard:
        break;
    case Scenario::Keyboard:
        plugLocked(Interface::Command);
        plugLocked(Interface::Event);
        break;
    case Scenario::CommandInterfaceOnly:
        plugLocked(Interface::Command);
        break;
    case Scenario::DuplicateCommandUsage:
        plugLocked(Interface::Command);
        plugLocked(Interface::Event);
        plugLocked(Interface::SecondCommand);
        break;
    case Scenario::KeyboardAndMouse:
        plugLocked(Interface::Command);
        plugLocked(Interface::Event);
        plugLocked(Interface::Mouse);
        break;
    }
    changed_.notify_all();
}

void KeyboardModel::plugLocked(Interface iface)
{
    bool &plugged = plugged_[indexOf(iface)];
    if (plugged)
        return;
    plugged = true;
    if (announce_)
        publishDeviceEvent(iface, true);
}

void KeyboardModel::unplugLocked(Interface iface)
{
    const std::size_t i = indexOf(iface);
    if (!plugged_[i])
        return;
    plugged_[i] = false;
    ++generation_[i];
    const bool slotStillPlugged = isCommandInterface(iface) && (plugged_[indexOf(Interface::Command)] ||
                                                                plugged_[indexOf(Interface::SecondCommand)]);
    if (!slotStillPlugged)
        inbox_[slotOf(iface)].clear();
    if (announce_)
        publishDeviceEvent(iface, false);
    changed_.notify_all();
}

// Interfaces of one USB device go together.
void KeyboardModel::unplugDeviceOf(Interface iface)
{
    if (iface == Interface::BootLoader || iface == Interface::Mouse) {
        unplugLocked(iface);
        return;
    }
    unplugLocked(Interface::Command);
    unplugLocked(Interface::Event);
    unplugLocked(Interface::SecondCommand);
}

bool KeyboardModel::liveLocked(const Ticket &t) const
{
    const std::size_t i = indexOf(t.iface);
    return plugged_[i] && generation_[i] == t.generation;
}

void KeyboardModel::reset(Scenario scenario)
{
    Lock lock(mutex_);
    resetLocked(scenario);
}

void KeyboardModel::plug(Interface iface)
{
    Lock lock(mutex_);
    checkTimers();
    plugLocked(iface);
}

void KeyboardModel::unplug(Interface iface)
{
    Lock lock(mutex_);
    checkTimers();
    unplugLocked(iface);
}

bool KeyboardModel::isPlugged(Interface iface)
{
    Lock lock(mutex_);
    checkTimers();
    return plugged_[indexOf(iface)];
}

int KeyboardModel::openHandleCount(Interface iface)
{
    Lock lock(mutex_);
    return openHandles_[indexOf(iface)];
}

std::vector<Interface> KeyboardModel::pluggedInterfaces()
{
    Lock lock(mutex_);
    checkTimers();
    std::vector<Interface> result;
    for (const InterfaceDescriptor &d : interfaceTable())
        if (plugged_[indexOf(d.iface)])
            result.push_back(d.iface);
    return result;
}

// --- modes ---------------------------------------------------------------------

void KeyboardModel::switchMode(Mode target, bool now)
{
    bootLoaderConfirmPending_ = false;
    leavePending_ = false;
    firmware_.restart();
    bootLoader_.restart();
    if (target == Mode::BootLoader) {
        unplugDeviceOf(Interface::Command);
    } else {
        unplugLocked(Interface::BootLoader);
    }
    state_.mode = target;
    if (now || reenumerationDelay_ <= std::chrono::milliseconds::zero()) {
        arrive();
        return;
    }
    arrivalAt_ = Clock::now() + reenumerationDelay_;
    if (!timerStarted_) {
        timerStarted_ = true;
        std::thread([this] { timerLoop(); }).detach();
    }
    timerWake_.notify_all();
}

void KeyboardModel::arrive()
{
    arrivalAt_.reset();
    if (state_.mode == Mode::BootLoader) {
        plugLocked(Interface::BootLoader);
    } else {
        plugLocked(Interface::Command);
        plugLocked(Interface::Event);
    }
}

void KeyboardModel::checkTimers()
{
    if (arrivalAt_ && Clock::now() >= *arrivalAt_)
        arrive();
}

// Runs for the rest of the process once a re-enumeration was first
// scheduled; the model is never destroyed.
void KeyboardModel::timerLoop()
{
    // Another program's changes are looked for this often (each look takes
    // the lock, which reads them).
    constexpr std::chrono::milliseconds kSharedLook{10};
    Lock lock(mutex_);
    for (;;) {
        checkTimers();
        std::optional<Clock::time_point> wake = arrivalAt_;
        if (shared_.isOpen() && (!wake || *wake > Clock::now() + kSharedLook))
            wake = Clock::now() + kSharedLook;
        if (wake)
            timerWake_.wait_until(lock, *wake);
        else
            timerWake_.wait(lock);
    }
}

// The boot loader has handed over to the user program: the keyboard comes
// back with the firmware that is now in the flash.
void KeyboardModel::leaveForUserProgram()
{
    if (const std::optional<uint16_t> version = bootLoader_.flashVersion())
        state_.firmwareVersion = *version;
    bootLoader_.countSwitch();
    switchMode(Mode::Normal, false);
}

// --- settings and faults ----------------------------------------------------------

void KeyboardModel::setReportDelay(std::chrono::microseconds delay)
{
    Lock lock(mutex_);
    delay_ = std::max(delay, std::chrono::microseconds::zero());
}

void KeyboardModel::setScrambling(bool on)
{
    Lock lock(mutex_);
    firmware_.setScrambling(on);
}

void KeyboardModel::setReenumerationDelay(std::chrono::milliseconds delay)
{
    Lock lock(mutex_);
    reenumerationDelay_ = std::max(delay, std::chrono::milliseconds::zero());
}

void KeyboardModel::setFlashGeometry(const FlashGeometry &geometry)
{
    Lock lock(mutex_);
    bootLoader_.setGeometry(geometry);
}

void KeyboardModel::refuseBootLoaderEntry(int count)
{
    Lock lock(mutex_);
    faults_.refuseEntry = count;
}

void KeyboardModel::failBootLoaderStep(BootLoaderStep step, int count)
{
    Lock lock(mutex_);
    bootLoader_.failStep(step, count);
}

void KeyboardModel::garbleBootLoaderAnswers(int count)
{
    Lock lock(mutex_);
    bootLoader_.garble(count);
}

void KeyboardModel::vanishAfterWrites(Interface iface, int writes)
{
    Lock lock(mutex_);
    checkTimers();
    faults_.vanishIface = iface;
    faults_.vanishWrites = writes;
    if (writes == 0) {
        unplugDeviceOf(iface);
        faults_.vanishWrites = -1;
    }
}

void KeyboardModel::failOpen(Interface iface, int count)
{
    Lock lock(mutex_);
    faults_.open[indexOf(iface)] = count;
}

void KeyboardModel::failFeatureSend(int count)
{
    Lock lock(mutex_);
    faults_.featureSend = count;
}

void KeyboardModel::failFeatureRead(int count)
{
    Lock lock(mutex_);
    faults_.featureRead = count;
}

void KeyboardModel::failOutputWrite(int afterGood, int count)
{
    Lock lock(mutex_);
    faults_.outputGood = std::max(afterGood, 0);
    faults_.outputFail = count;
}

void KeyboardModel::failInputRead(int afterGood, int count)
{
    Lock lock(mutex_);
    faults_.inputGood = std::max(afterGood, 0);
    faults_.inputFail = count;
    changed_.notify_all();
}

void KeyboardModel::limitDataPhaseReports(int reports)
{
    Lock lock(mutex_);
    faults_.dataPhaseReports = reports;
}

void KeyboardModel::setInputReportLength(int length, int fromReport)
{
    Lock lock(mutex_);
    faults_.inputReportLength = length;
    faults_.inputReportLengthFrom = fromReport;
}

void KeyboardModel::stopAnswering(std::chrono::milliseconds timeout)
{
    Lock lock(mutex_);
    faults_.silentAfter = std::max(timeout, std::chrono::milliseconds::zero());
}

void KeyboardModel::clearFaults()
{
    Lock lock(mutex_);
    faults_ = Faults{};
    bootLoader_.clearFaults();
    changed_.notify_all();
}

void KeyboardModel::serveRawExchanges(const std::vector<RawExchange> &exchanges)
{
    Lock lock(mutex_);
    rawExchanges_.assign(exchanges.begin(), exchanges.end());
}

int KeyboardModel::pendingRawExchanges()
{
    Lock lock(mutex_);
    return static_cast<int>(rawExchanges_.size());
}

// --- the keyboard side ---------------------------------------------------------------

void KeyboardModel::queueEventReport(const std::vector<uint8_t> &report)
{
    // Without the interface there is no endpoint to hold the report.
    if (!plugged_[indexOf(Interface::Event)])
        return;
    inbox_[indexOf(Interface::Event)].push_back(report);
    changed_.notify_all();
}

void KeyboardModel::emitEventReport(const std::vector<uint8_t> &report)
{
    Lock lock(mutex_);
    checkTimers();
    queueEventReport(report);
}

void KeyboardModel::pressProfileKey(int profile)
{
    Lock lock(mutex_);
    checkTimers();
    if (state_.mode != Mode::Normal)
        return;
    const std::vector<uint8_t> report = firmware_.pressProfileKey(profile);
    if (!report.empty())
        queueEventReport(report);
}

void KeyboardModel::pressLightingKeys(uint8_t effect, uint8_t brightness, uint8_t speed)
{
    Lock lock(mutex_);
    checkTimers();
    if (state_.mode != Mode::Normal)
        return;
    queueEventReport(firmware_.pressLightingKeys(effect, brightness, speed));
}

KeyboardState KeyboardModel::state()
{
    Lock lock(mutex_);
    checkTimers();
    return state_;
}

void KeyboardModel::setState(const KeyboardState &s)
{
    Lock lock(mutex_);
    checkTimers();
    const Mode current = state_.mode;
    state_ = s;
    state_.mode = current;
    if (s.mode != current || arrivalAt_)
        switchMode(s.mode, true);
}

std::vector<TraceEntry> KeyboardModel::trace()
{
    Lock lock(mutex_);
    return trace_;
}

void KeyboardModel::clearTrace()
{
    Lock lock(mutex_);
    trace_.clear();
}

BootLoaderState KeyboardModel::bootLoaderState()
{
    Lock lock(mutex_);
    checkTimers();
    return bootLoader_.state();
}

// --- transfers ---------------------------------------------------------------------------

void KeyboardModel::record(TraceEntry::Kind kind, Interface iface, const uint8_t *bytes, std::size_t length)
{
    trace_.push_back(TraceEntry{kind, iface, std::vector<uint8_t>(bytes, bytes + length), Clock::now(),
                                std::this_thread::get_id()});
}

void KeyboardModel::sleepDelay(Lock &lock)
{
    const std::chrono::microseconds delay = delay_;
    if (delay <= std::chrono::microseconds::zero())
        return;
    lock.unlock();
    std::this_thread::sleep_for(delay);
    lock.lock();
}

Transfer KeyboardModel::open(Interface iface, Ticket &ticket)
{
    Lock lock(mutex_);
    checkTimers();
    const std::size_t i = indexOf(iface);
    if (!plugged_[i])
        return {-1, Failure::NotPlugged};
    if (take(faults_.open[i]))
        return {-1, Failure::Injected};
    ticket = Ticket{iface, generation_[i], epoch_};
    ++openHandles_[i];
    return {0, Failure::None};
}

void KeyboardModel::close(const Ticket &ticket)
{
    Lock lock(mutex_);
    int &count = openHandles_[indexOf(ticket.iface)];
    if (ticket.epoch == epoch_ && count > 0)
        --count;
    // A host that asked for the user program but never read the answer.
    if (ticket.iface == Interface::BootLoader && leavePending_ && liveLocked(ticket))
        leaveForUserProgram();
}

std::optional<Transfer> KeyboardModel::refuseTransfer(Lock &lock, const Ticket &t, const void *data,
                                                      std::size_t length)
{
    checkTimers();
    if (!data || length == 0)
        return Transfer{-1, Failure::BadArgument};
    if (!liveLocked(t))
        return Transfer{-1, Failure::Unplugged};
    if (faults_.silentAfter) {
        // A control transfer to a device that does not answer: the host
        // controller gives up after its timeout.
        const std::chrono::milliseconds timeout = *faults_.silentAfter;
        lock.unlock();
        std::this_thread::sleep_for(timeout);
        lock.lock();
        return Transfer{-1, Failure::NoAnswer};
    }
    return std::nullopt;
}

Transfer KeyboardModel::sendFeature(const Ticket &t, const uint8_t *data, std::size_t length)
{
    Lock lock(mutex_);
    if (auto refused = refuseTransfer(lock, t, data, length))
        return *refused;
    if (take(faults_.featureSend))
        return {-1, Failure::Injected};
    sleepDelay(lock);
    checkTimers();
    if (!liveLocked(t))
        return {-1, Failure::Unplugged};

    packet::Packet wire{};
    std::memcpy(wire.data(), data + 1, std::min(length - 1, wire.size()));
    deliverCommand(t.iface, wire);
    record(TraceEntry::Kind::FeatureSent, t.iface, data, length);
    return {static_cast<int>(length), Failure::None};
}

void KeyboardModel::deliverCommand(Interface iface, const packet::Packet &wire)
{
    const std::size_t slot = slotOf(iface);
    if (isCommandInterface(iface)) {
        const NormalFirmware::Reply reply = firmware_.command(wire);
        answers_[slot] = reply.answer;
        // A new command starts a new exchange: data left over from an
        // earlier read that the host gave up on is gone.
        inbox_[slot].clear();
        rawAnswer_.reset();
        if (!rawExchanges_.empty()) {
            RawExchange raw = std::move(rawExchanges_.front());
            rawExchanges_.pop_front();
            rawAnswer_ = std::move(raw.answer);
            // The host never sees a confirmation it was not sent.
            bootLoaderConfirmPending_ = false;
            if (reply.bootLoaderConfirmed)
                firmware_.restart();
            for (std::vector<uint8_t> &report : raw.inputReports)
                inbox_[slot].push_back(std::move(report));
            changed_.notify_all();
            return;
        }
        queueDataPhase(slot, reply.dataPhase);
        bootLoaderConfirmPending_ = reply.bootLoaderConfirmed;
        if (reply.bootLoaderConfirmed && take(faults_.refuseEntry)) {
            answers_[slot][1] = 0x00;
            bootLoaderConfirmPending_ = false;
            firmware_.restart();
        }
    } else if (iface == Interface::BootLoader) {
        answers_[slot] = bootLoader_.command(wire);
    } else {
        answers_[slot] = wire;
    }
}

void KeyboardModel::queueDataPhase(std::size_t slot, const std::vector<uint8_t> &data)
{
    std::size_t reports = (data.size() + kDataReportBytes - 1) / kDataReportBytes;
    if (faults_.dataPhaseReports >= 0)
        reports = std::min(reports, static_cast<std::size_t>(faults_.dataPhaseReports));
    for (std::size_t r = 0; r < reports; ++r) {
        const bool cut = faults_.inputReportLength >= 0 &&
                         r >= static_cast<std::size_t>(std::max(0, faults_.inputReportLengthFrom));
        const std::size_t reportBytes =
            cut ? static_cast<std::size_t>(faults_.inputReportLength) : kDataReportBytes;
        std::vector<uint8_t> report(reportBytes, 0);
        const std::size_t offset = r * kDataReportBytes;
        const std::size_t n = std::min({reportBytes, kDataReportBytes, data.size() - offset});
        std::copy_n(data.begin() + static_cast<std::ptrdiff_t>(offset), n, report.begin());
        inbox_[slot].push_back(std::move(report));
    }
    if (reports > 0)
        changed_.notify_all();
}

Transfer KeyboardModel::getFeature(const Ticket &t, uint8_t *data, std::size_t length)
{
    Lock lock(mutex_);
    if (auto refused = refuseTransfer(lock, t, data, length))
        return *refused;
    if (take(faults_.featureRead))
        return {-1, Failure::Injected};
    sleepDelay(lock);
    checkTimers();
    if (!liveLocked(t))
        return {-1, Failure::Unplugged};

    if (isCommandInterface(t.iface) && rawAnswer_) {
        const std::size_t n = std::min(length, rawAnswer_->size());
        std::copy_n(rawAnswer_->begin(), n, data);
        record(TraceEntry::Kind::FeatureRead, t.iface, data, n);
        return {static_cast<int>(n), Failure::None};
    }

    std::array<uint8_t, packet::kReportSize> report{};
    report[0] = data[0]; // the report id the caller asked for stays in place
    const packet::Packet &answer = answers_[slotOf(t.iface)];
    std::copy(answer.begin(), answer.end(), report.begin() + 1);
    const std::size_t n = std::min(length, report.size());
    std::memcpy(data, report.data(), n);
    record(TraceEntry::Kind::FeatureRead, t.iface, data, n);

    if (isCommandInterface(t.iface) && bootLoaderConfirmPending_)
        switchMode(Mode::BootLoader, false);
    return {static_cast<int>(n), Failure::None};
}

Transfer KeyboardModel::write(const Ticket &t, const uint8_t *data, std::size_t length)
{
    Lock lock(mutex_);
    if (auto refused = refuseTransfer(lock, t, data, length))
        return *refused;
    if (takeAfterGood(faults_.outputGood, faults_.outputFail))
        return {-1, Failure::Injected};
    sleepDelay(lock);
    checkTimers();
    if (!liveLocked(t))
        return {-1, Failure::Unplugged};

    const std::size_t n = std::min(length - 1, kDataReportBytes);
    if (isCommandInterface(t.iface)) {
        firmware_.output(data + 1, n);
    } else if (t.iface == Interface::BootLoader) {
        const BootLoaderFirmware::Reply reply = bootLoader_.output(data + 1, n);
        if (reply.answer) {
            inbox_[slotOf(t.iface)].emplace_back(reply.answer->begin(), reply.answer->end());
            changed_.notify_all();
        }
        leavePending_ = leavePending_ || reply.leave;
    }
    record(TraceEntry::Kind::Output, t.iface, data, length);
    if (faults_.vanishIface && sameDevice(*faults_.vanishIface, t.iface) && faults_.vanishWrites > 0 &&
        --faults_.vanishWrites == 0) {
        faults_.vanishWrites = -1;
        unplugDeviceOf(t.iface);
    }
    return {static_cast<int>(length), Failure::None};
}

Transfer KeyboardModel::read(const Ticket &t, uint8_t *data, std::size_t length, int timeoutMs)
{
    Lock lock(mutex_);
    if (!data)
        return {-1, Failure::BadArgument};
    std::optional<Clock::time_point> deadline;
    if (timeoutMs >= 0)
        deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);

    std::deque<std::vector<uint8_t>> &queue = inbox_[slotOf(t.iface)];
    const bool dataPhase = isCommandInterface(t.iface);
    for (;;) {
        checkTimers();
        if (!liveLocked(t))
            return {-1, Failure::Unplugged};
        if (dataPhase && faults_.inputFail != 0 && faults_.inputGood == 0) {
            take(faults_.inputFail);
            return {-1, Failure::Injected};
        }
        if (!faults_.silentAfter && !queue.empty())
            break;
        if (dataPhase && rawAnswer_)
            return {-1, Failure::Injected}; // the raw exchange sends nothing more
        if (deadline && Clock::now() >= *deadline)
            return {0, Failure::None};
        // A mode switch unplugs this interface and wakes the wait.
        if (deadline)
            changed_.wait_until(lock, *deadline);
        else
            changed_.wait(lock);
    }

    const std::vector<uint8_t> report = std::move(queue.front());
    queue.pop_front();
    if (dataPhase && faults_.inputFail != 0 && faults_.inputGood > 0)
        --faults_.inputGood;
    sleepDelay(lock);

    // hidraw hands over at most the caller's buffer and drops the rest. A
    // report may be empty (a short-report fault): its vector has no storage.
    const std::size_t n = std::min(length, report.size());
    std::copy_n(report.begin(), n, data);
    record(TraceEntry::Kind::Input, t.iface, data, n);
    if (t.iface == Interface::BootLoader && leavePending_ && queue.empty() && liveLocked(t))
        leaveForUserProgram();
    return {static_cast<int>(n), Failure::None};
}

} // namespace q3emu::detail
