// romwriter's window: loads and checks the firmware image once, follows the
// keyboard from normal mode into its boot loader and back, and runs the
// update through the in-system-programming library.
#pragma once

#include "hidlink.h"

#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <vector>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace hidwatch {
class DeviceWatch;
}

namespace romwriter {

// The record GetMCUInfo fills in; the caller sets `size`.
struct McuInfo {
    uint32_t size;
    uint32_t pageSize;
    uint32_t pageCount;
    uint32_t flashSize;
    uint32_t programBlock; // 512 or 1024 when the image's checksum can be checked
    uint32_t protocolVersion;
    uint32_t locked;
    uint32_t describesConnected; // 1: the connected boot loader, 0: the target MCU
    uint32_t bootLoaderVersion;
};
static_assert(sizeof(McuInfo) == 36, "GetMCUInfo fills 36 bytes");

class Widget : public QWidget
{
    Q_OBJECT
public:
    static constexpr const char *kImagePath = "./data.bin";
    static constexpr int kRetryDelayMs = 5000;
    static constexpr int kAutoUpdateDelayMs = 3000;
    static constexpr int kMaxFailures = 3;
    static constexpr int kBootLoaderAttempts = 4;
    // Start addresses are 16-bit: more flash than this cannot be addressed.
    static constexpr uint32_t kAddressableBytes = 65536;

    enum Status {
        Connected,
        ReadyToUpdate,
        Disconnected,
        EnteringBootLoader,
        Erasing,
        Programming,
        Verifying,
        UpdateSuccess,
        UpdateFail,
    };

    // Builds the window and loads "./data.bin"; when the image is accepted,
    // looks for the keyboard and starts watching device events.
    explicit Widget(QWidget *parent = nullptr);
    ~Widget() override;

    const Hid_Thread &link() const { return m_hid; }
    bool imageAccepted() const { return m_imageAccepted; }
    const std::vector<uint8_t> &image() const { return m_image; }
    const McuInfo &mcuInfo() const { return m_mcu; }
    // Whether updateProc() is due to run again from a timer.
    bool isRunPending() const { return m_later.isActive(); }

    // Shows status message n; any other number leaves the label as it is.
    void showStatus(int n);
    // Whether pageCount pages of pageSize bytes can be addressed with
    // 16-bit start addresses and lengths.
    static bool geometryFits(uint32_t pageSize, uint32_t pageCount);

signals:
    void deviceChange(int deviceIndex);

public slots:
    void deviceChangeProc(int deviceIndex);
    void updateProc();

private:
    bool loadImage();
    void onDeviceArrival();
    void onDeviceRemoval();
    void enterBootLoaderStep();
    void programStep();
    void fail(const char *message);
    int loadProgdata();

    Hid_Thread m_hid;
    hidwatch::DeviceWatch *m_watch = nullptr;
    QProgressBar *m_progress = nullptr;
    QLabel *m_checksumLabel = nullptr;
    QLabel *m_statusLabel = nullptr;
    QLineEdit *m_checksumField = nullptr;
    QPushButton *m_updateButton = nullptr;
    QPushButton *m_exitButton = nullptr;
    // The one pending later run of updateProc() (auto start or retry).
    QTimer m_later;
    bool m_inUpdateProc = false;
    bool m_calledDuringRun = false; // updateProc() was asked for while it ran

    bool m_imageAccepted = false;
    std::vector<uint8_t> m_image; // descrambled, kept for every LoadProgdata call
    uint32_t m_imageLength = 0;
    McuInfo m_mcu = {};
    // LoadProgdata's outputs, the same locations for every call.
    unsigned int m_out1 = 0;
    unsigned short m_out2 = 0;
    unsigned int m_out3 = 0;
    unsigned short m_out4 = 0;
    unsigned int m_out5 = 0;
    unsigned short m_out6 = 0;
};

} // namespace romwriter
