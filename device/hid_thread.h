// The device link: finds the keyboard's two HID interfaces and runs the
// commands that read and write what the keyboard stores.
//
// Hid_Thread derives from QThread so that it can be exposed to QML like the
// other native objects, but its own thread is never started: commands run on
// the calling (GUI) thread, write transfers and the event monitor run as tasks
// on QThreadPool::globalInstance().
//
// Commands are serialised by claiming the link (waitIdle): up to 255 waits of
// 8 ms that keep processing GUI events. Write commands return 8 ms after
// starting their transfer on the pool and never report the outcome; read
// commands run their whole transfer on the calling thread and leave the
// caller's values as they were when the exchange fails. Failures show only
// as debug lines: "cmd Failed", "cmd Failed XX", "Connect", "Device removed".
#pragma once

#include "deviceentry.h"
#include "deviceeventsink.h"
#include "devinfo.h"
#include "packetcodec.h"

#include <QFuture>
#include <QList>
#include <QThread>

#include <atomic>
#include <memory>
#include <vector>

struct hid_device_;
typedef struct hid_device_ hid_device;

// Scrambling of command packets, switched by the device description.
extern std::atomic<bool> isEncode;

class Hid_Thread : public QThread
{
    Q_OBJECT
public:
    // Data-phase bytes the link can carry in one command.
    static constexpr int kDataAreaSize = 128;
    // How long one data-phase input report may take before the read fails.
    static constexpr int kInputReportTimeoutMs = 1000;
    // How long one monitor cycle waits for an event report.
    static constexpr int kEventReadTimeoutMs = 500;

    explicit Hid_Thread(QObject *parent = nullptr);
    // Stops the monitor and waits for a write transfer still on the pool.
    ~Hid_Thread() override;

    // Where the monitor reports event reports; set before the monitor starts.
    void setOwner(DeviceEventSink *owner);

    // Replaces the device table. Only record 0 is matched against the HID
    // interfaces present now; its row receives the command and event paths
    // when both usage pairs are found.
    void setDeviceList(const QList<DevInfoRecord> &records);

    // The paths of `record`'s two interfaces as present now, both empty
    // unless both are there. Reads the system's device list: call it only in
    // answer to a device event or at start.
    static void findInterfaces(const DevInfoRecord &record, QString &cmdPath, QString &eventPath);
    // Whether row `did` holds both interface paths: found by the last
    // discovery and not lost since.
    bool isDevicePresent(uint did) const;
    // The keyboard went away: stops the monitor and empties every row's
    // paths. A replugged device can get other node numbers, so an old path
    // may name another device by the time it comes back.
    void forgetDevices();

    uint curDid() const { return m_curDid; }
    int deviceCount() const { return static_cast<int>(devList.size()); }
    const DeviceEntry *device(int index) const; // null outside the table
    bool isLinkIdle() const { return isIdle; }
    bool isMonitorRunning() const { return monitorFuture.isRunning(); }

    // Stops the monitor task and waits until it has ended (at most one
    // cycle, about 500 ms). Returns at once when no task runs.
    void stopMonitor();

public slots:
    void swichCurDevice(uint did);

    uchar hidCS(uchar *cmd);
    void USBDataEncryption(uchar FIFOBuf[], uchar SecrecyCode[]);
    void USBDataDecipher(uchar FIFOBuf[], uchar SecrecyCode[]);

    // Write commands: fire and forget.
    void hid_02H_SetKeyboardoption(uchar byte1, uchar byte2, uchar byte3);
    void hid_04H_SetButtonSensitivity(uchar sens1);
    void hid_08H_SetLEDType(uchar type, uchar brightness, uchar speed, uchar direction, uchar color,
                            uchar type_Side);
    void hid_09H_StopMacroSending();
    void hid_0CH_SetKeyMatrix_1(uchar *src128);
    void hid_0DH_SetKeyMatrix_2(uchar *src128);
    void hid_0FH_SetISPBootLoader();
    void hid_10H_SetMacroKey(uchar macroId, uchar *src128);
    void hid_12H_SetUserPicture(uchar index, uchar colorIndex, uchar *src128);
    void hid_13H_SetRecoveryData();
    void hid_21H_SetCurrentProfile(uchar profileId);
    void hid_30H_SetSevenColor(uchar *src64);

    // Read commands: outputs stay as passed in when the exchange fails,
    // except 80H (written only on success) and A1H (0 on failure).
    void hid_80H_GetFWVersion(ushort &version, uchar &mode_UsUk);
    void hid_82H_GetKeyboardoption(uchar &byte1, uchar &byte2, uchar &byte3);
    void hid_84H_GetButtonSensitivity(uchar &sens1);
    void hid_88H_GetLEDType(uchar &type, uchar &brightness, uchar &speed, uchar &direction, uchar &color,
                            uchar &type_Side);
    void hid_8CH_GetKeyMatrix_1(uchar *src128);
    void hid_8DH_GetKeyMatrix_2(uchar *src128);
    void hid_90H_GetMacroKey(uchar macroId, uchar *src128);
    void hid_92H_GetUserPicture(uchar index, uchar colorIndex, uchar *src128);
    void hid_A1H_GetCurrentProfile(uchar &profileId);
    void hid_B0H_GetSevenColor(uchar *src64);

private:
    bool waitIdle();
    void releaseLink();
    hid_device *openCmdDevice(uint did);
    hid_device *openEventDevice(uint did);
    bool sendCommandReport(); // scrambles txReport when switched on, then sends it
    bool sendCmd(int n);
    bool queryCmd(int n);
    void monitorDevice(uint did);
    static void monitorTask(void *self);
    static void writeTask(void *self);

    // The calling orders shared by every command.
    void runWrite(const packet::Packet &pkt, const uchar *data = nullptr, int n = 0);
    enum class ReadOutcome { NotClaimed, Failed, Done };
    ReadOutcome runShortRead(const packet::Packet &pkt, const packet::Packet &preImage);
    void runBulkRead(const packet::Packet &pkt, uchar *buffer, int n);
    void setTxPacket(const packet::Packet &pkt);
    DeviceEntry *row(uint did) const;

    std::atomic<DeviceEventSink *> owner{nullptr};
    std::vector<std::unique_ptr<DeviceEntry>> devList;
    std::atomic<uint> m_curDid{0};
    hid_device *cmdHandle = nullptr;   // touched only by the link's holder
    hid_device *eventHandle = nullptr; // touched only by the monitor task
    // Shared between the GUI thread and pool threads, hence atomic.
    std::atomic<bool> isIdle{true};
    std::atomic<bool> isMonitoring{false};
    QFuture<void> monitorFuture;
    uchar txReport[9] = {};
    uchar rxReport[9] = {};
    uchar dataArea[kDataAreaSize] = {};
    // What a pool task is started with (ordered by the hand-off, handoff.h).
    int transferLength = 0; // data-phase bytes of the write transfer
    uint monitoredDid = 0;  // row the monitor task watches
};
