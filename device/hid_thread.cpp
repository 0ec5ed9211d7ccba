#include "hid_thread.h"

#include "handoff.h"
#include "logging.h"
#include "packetcodec.h"
#include "pooltask.h"
#include "reportio.h"

#include <QCoreApplication>
#include <QThreadPool>

#include <hidapi.h>

#include <cstring>

Q_LOGGING_CATEGORY(lcDevice, "gearpanel.device")

std::atomic<bool> isEncode{false};

namespace {

constexpr int kClaimAttempts = 255;
constexpr int kClaimWaitMs = 8;

} // namespace

Hid_Thread::Hid_Thread(QObject *parent) : QThread(parent)
{
    // The monitor holds one pool thread for as long as it runs; write
    // transfers need another.
    QThreadPool *pool = QThreadPool::globalInstance();
    if (pool->maxThreadCount() < 2)
        pool->setMaxThreadCount(2);
}

Hid_Thread::~Hid_Thread()
{
    stopMonitor();
    // A write transfer may still run on the pool with our members; claiming
    // the link waits for it to give the link back.
    while (!isIdle.exchange(false))
        QThread::msleep(1);
}

void Hid_Thread::setOwner(DeviceEventSink *sink)
{
    owner = sink;
}

const DeviceEntry *Hid_Thread::device(int index) const
{
    return row(static_cast<uint>(index));
}

DeviceEntry *Hid_Thread::row(uint did) const
{
    return did < devList.size() ? devList[did].get() : nullptr;
}

void Hid_Thread::setDeviceList(const QList<DevInfoRecord> &records)
{
    // Pool tasks read the rows in place: none may run while they are replaced.
    stopMonitor();
    while (!isIdle.exchange(false))
        QThread::msleep(1);

    std::vector<std::unique_ptr<DeviceEntry>> table;
    for (int n = 0; n < records.size(); ++n) {
        const DevInfoRecord &r = records[n];
        QString cmdPath, eventPath;
        if (n == 0)
            findInterfaces(r, cmdPath, eventPath);
        table.push_back(std::make_unique<DeviceEntry>(n, r.name, r.type, cmdPath, eventPath, r.reportLength));
    }
    devList = std::move(table);
    releaseLink();
}

void Hid_Thread::findInterfaces(const DevInfoRecord &r, QString &cmdPath, QString &eventPath)
{
    cmdPath.clear();
    eventPath.clear();
    QString first, second;
    hid_device_info *all = hid_enumerate(r.vid, r.pid);
    for (hid_device_info *it = all; it; it = it->next) {
        if (it->usage_page == r.usagePage && it->usage == r.usage)
            first = QString::fromLocal8Bit(it->path);
        if (it->usage_page == r.usagePage2 && it->usage == r.usage2)
            second = QString::fromLocal8Bit(it->path);
        if (!first.isEmpty() && !second.isEmpty()) {
            cmdPath = first;
            eventPath = second;
            qCDebug(lcDevice) << "Connect" << 0;
        }
    }
    hid_free_enumeration(all);
}

bool Hid_Thread::isDevicePresent(uint did) const
{
    const DeviceEntry *entry = row(did);
    return entry && !entry->cmdPath().isEmpty() && !entry->eventPath().isEmpty();
}

void Hid_Thread::forgetDevices()
{
    stopMonitor();
    while (!isIdle.exchange(false))
        QThread::msleep(1);
    for (auto &entry : devList) {
        entry->clearCmdPath();
        entry->clearEventPath();
    }
    releaseLink();
}

void Hid_Thread::swichCurDevice(uint did)
{
    m_curDid = did;
    stopMonitor();
    isMonitoring = true;
    monitoredDid = did;
    handoff::publish();
    monitorFuture = runOnPool(&Hid_Thread::monitorTask, this);
}

// --- packet codec -------------------------------------------------------------

uchar Hid_Thread::hidCS(uchar *cmd)
{
    return packet::checksum(cmd);
}

void Hid_Thread::USBDataEncryption(uchar FIFOBuf[], uchar SecrecyCode[])
{
    packet::scramble(FIFOBuf, SecrecyCode);
}

void Hid_Thread::USBDataDecipher(uchar FIFOBuf[], uchar SecrecyCode[])
{
    packet::unscramble(FIFOBuf, SecrecyCode);
}

// --- claiming the link and transfers -------------------------------------------

bool Hid_Thread::waitIdle()
{
    for (int attempt = 0; attempt < kClaimAttempts; ++attempt) {
        bool idle = true;
        if (isIdle.compare_exchange_strong(idle, false))
            return true;
        QThread::msleep(kClaimWaitMs);
        // Keep the window responsive while the previous transfer finishes;
        // handlers that run here may start further commands, which wait too.
        if (QCoreApplication::instance())
            QCoreApplication::processEvents();
    }
    return false;
}

void Hid_Thread::releaseLink()
{
    isIdle = true;
}

namespace {

// Opens the interface at `path` into `handle`, closing one left open first.
// A failed open calls `forget`: the interface counts as gone for the rest of
// the run.
template <typename Forget> hid_device *openInterface(const QString &path, hid_device *&handle, Forget forget)
{
    if (path.isEmpty())
        return nullptr;
    if (handle) {
        hid_close(handle);
        handle = nullptr;
    }
    handle = hid_open_path(path.toLocal8Bit().constData());
    if (!handle) {
        forget();
        return nullptr;
    }
    hid_set_nonblocking(handle, 0);
    return handle;
}

} // namespace

hid_device *Hid_Thread::openCmdDevice(uint did)
{
    DeviceEntry *entry = row(did);
    if (!entry)
        return nullptr;
    return openInterface(entry->cmdPath(), cmdHandle, [entry] { entry->clearCmdPath(); });
}

hid_device *Hid_Thread::openEventDevice(uint did)
{
    DeviceEntry *entry = row(did);
    if (!entry)
        return nullptr;
    return openInterface(entry->eventPath(), eventHandle, [entry] { entry->clearEventPath(); });
}

namespace {

void closeHandle(hid_device *&handle)
{
    if (handle) {
        hid_close(handle);
        handle = nullptr;
    }
}

} // namespace

void Hid_Thread::writeTask(void *self)
{
    auto *link = static_cast<Hid_Thread *>(self);
    handoff::receive();
    link->sendCmd(link->transferLength);
}

bool Hid_Thread::sendCommandReport()
{
    if (isEncode)
        packet::scramble(txReport + 1, packet::kSecrecyCode.data());
    return reportio::sendFeature(cmdHandle, txReport);
}

bool Hid_Thread::sendCmd(int n)
{
    const uint did = m_curDid;
    bool ok = false;
    if (openCmdDevice(did)) {
        ok = sendCommandReport() &&
             (n <= 0 || reportio::writeDataPhase(cmdHandle, dataArea, n, row(did)->reportLength()));
        closeHandle(cmdHandle);
    }
    releaseLink();
    return ok;
}

bool Hid_Thread::queryCmd(int n)
{
    const uint did = m_curDid;
    bool ok = false;
    if (openCmdDevice(did)) {
        ok = sendCommandReport() && reportio::readFeature(cmdHandle, rxReport);
        if (ok && n > 0) {
            ok = reportio::readDataPhase(cmdHandle, dataArea, n, row(did)->reportLength(),
                                         kInputReportTimeoutMs);
        } else if (ok && isEncode) {
            packet::unscramble(rxReport + 1, packet::kSecrecyCode.data());
        }
        closeHandle(cmdHandle);
    }
    releaseLink();
    return ok;
}

// --- calling orders -------------------------------------------------------------

void Hid_Thread::setTxPacket(const packet::Packet &pkt)
{
    txReport[0] = packet::kReportId;
    std::memcpy(txReport + 1, pkt.data(), pkt.size());
}

void Hid_Thread::runWrite(const packet::Packet &pkt, const uchar *data, int n)
{
    if (!waitIdle()) {
        const QString code = QStringLiteral("%1").arg(pkt[0], 2, 16, QLatin1Char('0')).toUpper();
        qCDebug(lcDevice).noquote() << "cmd Failed" << code;
        return;
    }
    setTxPacket(pkt);
    if (n > 0)
        std::memcpy(dataArea, data, n);
    // The transfer owns the link until it ends; its outcome is not reported.
    transferLength = n;
    handoff::publish();
    runOnPool(&Hid_Thread::writeTask, this);
    QThread::msleep(reportio::kReportPauseMs);
}

Hid_Thread::ReadOutcome Hid_Thread::runShortRead(const packet::Packet &pkt, const packet::Packet &preImage)
{
    if (!waitIdle()) {
        qCDebug(lcDevice) << "cmd Failed";
        return ReadOutcome::NotClaimed;
    }
    setTxPacket(pkt);
    rxReport[0] = packet::kReportId;
    std::memcpy(rxReport + 1, preImage.data(), preImage.size());
    return queryCmd(0) ? ReadOutcome::Done : ReadOutcome::Failed;
}

void Hid_Thread::runBulkRead(const packet::Packet &pkt, uchar *buffer, int n)
{
    if (!waitIdle()) {
        qCDebug(lcDevice) << "cmd Failed";
        return;
    }
    setTxPacket(pkt);
    rxReport[0] = packet::kReportId;
    std::memcpy(rxReport + 1, pkt.data(), pkt.size());
    std::memcpy(dataArea, buffer, n);
    queryCmd(n);
    std::memcpy(buffer, dataArea, n);
}
