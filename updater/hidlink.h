// romwriter's device link: finds the keyboard in normal mode or in its boot
// loader and sends it the boot-loader command with its status query. Packets,
// checksum and report framing are gearpanel's (packetcodec.h, reportio.h).
#pragma once

#include <QString>
#include <QThread>

#include <array>
#include <cstdint>

struct hid_device_;
typedef struct hid_device_ hid_device;

namespace romwriter {

// Which device is present, which step of the update the window is in and
// whether it updates without a click. Kept with the link, as the link sends
// to the entry deviceIndex names.
struct RunState {
    int deviceIndex = -1; // -1 none, 0 keyboard in normal mode, 1 its boot loader
    int updateState = -1; // -1 stopped, 0 waiting, 1 connected, 2 ready, 3 finished
    bool autoUpdate = false;
    int failCount = 0; // failed update attempts since the last success
};

// Derives from QThread like gearpanel's link, but its thread is never
// started: romwriter is single-threaded and every call runs on the GUI thread.
class Hid_Thread : public QThread
{
    Q_OBJECT
public:
    static constexpr int kKeyboard = 0;
    static constexpr int kBootLoader = 1;
    static constexpr int kReportLength = 64;
    // The status query's pause after the boot-loader command: two steps.
    static constexpr int kAckStepMs = 64;

    struct Entry {
        uint16_t vendorId;
        uint16_t productId;
        uint16_t usagePage;
        uint16_t usage;
        unsigned reportLength;
        QString cmdPath; // empty while the device is absent
    };

    explicit Hid_Thread(QObject *parent = nullptr);
    ~Hid_Thread() override;

    RunState &runState() { return m_run; }
    const RunState &runState() const { return m_run; }
    const Entry &entry(int index) const { return m_devList[static_cast<std::size_t>(index)]; }
    // Entry 0 looks for these ids from now on (the image file names them).
    void setKeyboardIds(uint16_t vendorId, uint16_t productId);
    bool isLinkIdle() const { return m_isIdle; }

    // Enumerates every entry and records the paths found: -1 when nothing
    // matched, else the last entry found (1 wins when both are present).
    int findDevice();

    // True when the keyboard answered the status query that follows the
    // boot-loader command with 0xFF in byte 1, or when the boot loader is
    // already the present device (then nothing is sent).
    bool enterBootLoader();

    // Report id and packet bytes 0..6 of the command report zero with the
    // checksum 0xFF of that all-zero packet, the answer report zero,
    // scrambling off.
    bool clearCmdBuffer();

    const uint8_t *txReport() const { return m_txReport; }
    const uint8_t *rxReport() const { return m_rxReport; }

private:
    bool waitIdle();
    void releaseLink() { m_isIdle = true; }
    hid_device *openCmdDevice(int did);
    void closeCmdDevice();
    // Sends the command report to the entry deviceIndex names; with `wait`
    // pauses for the acknowledgement afterwards. n: data-phase bytes (none
    // in romwriter).
    bool sendCmd(int n, bool wait);
    bool queryCmd(int n);
    bool sendCommandReport();

    std::array<Entry, 2> m_devList;
    RunState m_run;
    hid_device *m_cmdHandle = nullptr;
    bool m_isIdle = true;
    bool m_ack = true;
    bool m_isEncode = false; // never switched on in romwriter
    uint8_t m_txReport[9] = {};
    uint8_t m_rxReport[9] = {};
    uint8_t m_dataArea[kReportLength] = {};
};

} // namespace romwriter
