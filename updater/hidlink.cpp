#include "hidlink.h"

#include "packetcodec.h"
#include "reportio.h"
#include "updaterlog.h"

#include <QCoreApplication>

#include <hidapi.h>

#include <cstring>

namespace romwriter {

Q_LOGGING_CATEGORY(lcUpdater, "gearpanel.updater")

namespace {

constexpr int kClaimAttempts = 255;
constexpr int kClaimWaitMs = 8;
constexpr int kStatusQueryPauseMs = 30;
// A failed data-phase read must not hold the GUI thread for long.
constexpr int kInputReportTimeoutMs = 1000;

} // namespace

Hid_Thread::Hid_Thread(QObject *parent)
    : QThread(parent), m_devList{{{0x04D9, 0xA1CD, 0xFF01, 0x0001, kReportLength, {}},
                                  {0x04D9, 0x8022, 0xFF00, 0x0020, kReportLength, {}}}}
{}

Hid_Thread::~Hid_Thread()
{
    closeCmdDevice();
}

void Hid_Thread::setKeyboardIds(uint16_t vendorId, uint16_t productId)
{
    m_devList[kKeyboard].vendorId = vendorId;
    m_devList[kKeyboard].productId = productId;
}

int Hid_Thread::findDevice()
{
    std::array<QString, 2> paths;
    int found = -1;
    for (std::size_t i = 0; i < m_devList.size(); ++i) {
        const Entry &e = m_devList[i];
        hid_device_info *all = hid_enumerate(e.vendorId, e.productId);
        for (hid_device_info *it = all; it; it = it->next) {
            if (it->usage_page == e.usagePage && it->usage == e.usage && it->path) {
                paths[i] = QString::fromLocal8Bit(it->path);
                found = static_cast<int>(i);
            }
        }
        hid_free_enumeration(all);
    }
    for (std::size_t i = 0; i < m_devList.size(); ++i)
        m_devList[i].cmdPath = paths[i];
    return found;
}

bool Hid_Thread::clearCmdBuffer()
{
    std::memset(m_txReport, 0, sizeof m_txReport);
    m_txReport[8] = packet::checksum(m_txReport + 1);
    std::memset(m_rxReport, 0, sizeof m_rxReport);
    m_isEncode = false;
    return true;
}

bool Hid_Thread::enterBootLoader()
{
    if (!waitIdle()) {
        qCDebug(lcUpdater) << "enterBootLoader fail";
        return false;
    }
    if (m_run.deviceIndex == kBootLoader) {
        releaseLink();
        return true;
    }

    const packet::Packet entryCommand = packet::makeBootLoader();
    m_txReport[0] = packet::kReportId;
    std::memcpy(m_txReport + 1, entryCommand.data(), entryCommand.size());
    // Whether the send went through is not looked at: the keyboard may drop
    // off the bus as it takes the command. The status query decides.
    sendCmd(0, true);

    QThread::msleep(kStatusQueryPauseMs);
    if (!waitIdle()) {
        qCDebug(lcUpdater) << "cmd Failed";
        return false;
    }
    uint8_t query[packet::kPacketSize] = {packet::kBootLoaderStatusQuery};
    query[7] = packet::checksum(query);
    m_txReport[0] = packet::kReportId;
    std::memcpy(m_txReport + 1, query, sizeof query);
    std::memset(m_rxReport, 0, sizeof m_rxReport);
    m_rxReport[1] = packet::kBootLoaderStatusQuery;
    // A failed query leaves the pre-filled 0 in byte 1: a refusal.
    queryCmd(0);
    return m_rxReport[2] == 0xFF;
}

bool Hid_Thread::waitIdle()
{
    for (int attempt = 0; attempt < kClaimAttempts; ++attempt) {
        if (m_isIdle) {
            m_isIdle = false;
            return true;
        }
        QThread::msleep(kClaimWaitMs);
        QCoreApplication::processEvents();
    }
    return false;
}

hid_device *Hid_Thread::openCmdDevice(int did)
{
    if (did < 0 || did >= static_cast<int>(m_devList.size()))
        return nullptr;
    Entry &e = m_devList[static_cast<std::size_t>(did)];
    if (e.cmdPath.isEmpty())
        return nullptr;
    closeCmdDevice();
    m_cmdHandle = hid_open_path(e.cmdPath.toLocal8Bit().constData());
    if (!m_cmdHandle) {
        // Gone until the next device event finds it again.
        e.cmdPath.clear();
        return nullptr;
    }
    hid_set_nonblocking(m_cmdHandle, 0);
    return m_cmdHandle;
}

void Hid_Thread::closeCmdDevice()
{
    if (m_cmdHandle) {
        hid_close(m_cmdHandle);
        m_cmdHandle = nullptr;
    }
}

bool Hid_Thread::sendCommandReport()
{
    if (m_isEncode)
        packet::scramble(m_txReport + 1, packet::kSecrecyCode.data());
    return reportio::sendFeature(m_cmdHandle, m_txReport);
}

bool Hid_Thread::sendCmd(int n, bool wait)
{
    const int did = m_run.deviceIndex;
    bool ok = false;
    if (n <= static_cast<int>(sizeof m_dataArea) && openCmdDevice(did)) {
        ok = sendCommandReport();
        if (ok && wait) {
            // Nothing sets the flag while we pause, so this is two steps.
            m_ack = false;
            for (;;) {
                QThread::msleep(kAckStepMs);
                if (m_ack)
                    break;
                m_ack = true;
            }
        }
        if (ok && n > 0)
            ok = reportio::writeDataPhase(m_cmdHandle, m_dataArea, n, m_devList[did].reportLength);
        closeCmdDevice();
    }
    releaseLink();
    return ok;
}

bool Hid_Thread::queryCmd(int n)
{
    const int did = m_run.deviceIndex;
    bool ok = false;
    if (n <= static_cast<int>(sizeof m_dataArea) && openCmdDevice(did)) {
        ok = sendCommandReport() && reportio::readFeature(m_cmdHandle, m_rxReport);
        if (ok && n > 0) {
            ok = reportio::readDataPhase(m_cmdHandle, m_dataArea, n, m_devList[did].reportLength,
                                         kInputReportTimeoutMs);
        } else if (ok && m_isEncode) {
            packet::unscramble(m_rxReport + 1, packet::kSecrecyCode.data());
        }
        closeCmdDevice();
    }
    releaseLink();
    return ok;
}

} // namespace romwriter
