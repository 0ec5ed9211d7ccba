#include "window.h"

#include "devicewatch.h"
#include "imagefile.h"
#include "ispdll.h"
#include "updaterlog.h"

#include <QBoxLayout>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include <algorithm>
#include <climits>

namespace romwriter {

namespace {

constexpr int kBootLoaderRetryMs = 300;
constexpr int kConnectPauseMs = 30;
constexpr int kClickPauseMs = 30;
constexpr int kVerifyPauseMs = 100;
constexpr int kExecutePauseMs = 10;
constexpr int kSwitchPauseMs = 50;
constexpr unsigned short kImageLoaded = 0x8000;

const char *const kStatusTexts[] = {
    "Connected to the Device!",
    "Ready To Update!",
    "Disconnect the Device!",
    "Enter the bootloader mode...",
    "Erase ...",
    "Program ...",
    "Verify ...",
    "Update Success!",
    "Update Fail!",
};

QString trWidget(const char *text)
{
    return QCoreApplication::translate("Widget", text);
}

void processEvents()
{
    QCoreApplication::processEvents();
}

// Progress values are derived from the page count the library reports;
// keep them inside what the bar can hold whatever it reports.
int progressValue(uint64_t value)
{
    return static_cast<int>(std::min<uint64_t>(value, INT_MAX));
}

} // namespace

Widget::Widget(QWidget *parent) : QWidget(parent)
{
    QFont font;
    font.setFamily(QStringLiteral("微软雅黑"));
    font.setPointSize(10);

    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("progressBar"));
    m_progress->setMinimumSize(263, 27);

    m_checksumLabel = new QLabel(trWidget("CS:"), this);
    m_checksumLabel->setObjectName(QStringLiteral("checksumLabel"));
    m_checksumLabel->setFont(font);
    m_checksumLabel->setMinimumHeight(18);

    m_statusLabel = new QLabel(trWidget("Error:"), this);
    m_statusLabel->setObjectName(QStringLiteral("statusLabel"));
    m_statusLabel->setFont(font);
    m_statusLabel->setMinimumHeight(24);
    m_statusLabel->setTextFormat(Qt::PlainText);

    m_checksumField = new QLineEdit(this);
    m_checksumField->setObjectName(QStringLiteral("checksumField"));
    m_checksumField->setMinimumSize(36, 24);
    m_checksumField->setMaximumWidth(58);
    m_checksumField->setFont(font);
    m_checksumField->setFocusPolicy(Qt::NoFocus);

    m_updateButton = new QPushButton(trWidget("Update"), this);
    m_updateButton->setObjectName(QStringLiteral("updateButton"));
    m_updateButton->setMinimumSize(70, 30);
    m_updateButton->setFont(font);
    m_updateButton->setEnabled(false);

    m_exitButton = new QPushButton(trWidget("Exit"), this);
    m_exitButton->setObjectName(QStringLiteral("exitButton"));
    m_exitButton->setMinimumSize(70, 30);
    m_exitButton->setFont(font);

    auto *row = new QHBoxLayout;
    row->addWidget(m_checksumLabel, 0, Qt::AlignBottom);
    row->addWidget(m_checksumField, 0, Qt::AlignBottom);
    row->addSpacing(12);
    row->addWidget(m_updateButton, 0, Qt::AlignBottom);
    row->addWidget(m_exitButton, 0, Qt::AlignBottom);
    auto *column = new QVBoxLayout;
    column->addWidget(m_progress);
    column->addWidget(m_statusLabel);
    column->addLayout(row);
    setLayout(column);

    connect(this, &Widget::deviceChange, this, &Widget::deviceChangeProc, Qt::DirectConnection);
    connect(m_updateButton, &QPushButton::clicked, this, &Widget::updateProc);
    connect(m_exitButton, &QPushButton::clicked, this, &QWidget::close);

    m_later.setSingleShot(true);
    // The retry and the automatic start come no earlier than their delays.
    m_later.setTimerType(Qt::PreciseTimer);
    connect(&m_later, &QTimer::timeout, this, &Widget::updateProc);

    m_imageAccepted = loadImage();
    if (!m_imageAccepted)
        return;

    RunState &run = m_hid.runState();
    run.updateState = 0;
    showStatus(Disconnected);
    run.deviceIndex = m_hid.findDevice();
    emit deviceChange(run.deviceIndex);

    m_watch = new hidwatch::DeviceWatch(this);
    connect(m_watch, &hidwatch::DeviceWatch::arrival, this, &Widget::onDeviceArrival);
    connect(m_watch, &hidwatch::DeviceWatch::removal, this, &Widget::onDeviceRemoval);

    m_progress->setRange(0, progressValue(3ull * m_mcu.pageCount + 2));
    m_progress->setTextVisible(false);
}

Widget::~Widget() = default;

void Widget::showStatus(int n)
{
    if (n >= 0 && n < static_cast<int>(std::size(kStatusTexts)))
        m_statusLabel->setText(QString::fromLatin1(kStatusTexts[n]));
}

int Widget::loadProgdata()
{
    // LoadProgdata wants a buffer even for an empty image.
    static unsigned char empty = 0;
    return LoadProgdata(m_image.empty() ? &empty : m_image.data(), m_imageLength, &m_out1, &m_out2, &m_out3,
                        &m_out4, &m_out5, &m_out6);
}

bool Widget::loadImage()
{
    QFile file(QString::fromLatin1(kImagePath));
    // Only a regular file: a FIFO or a device under that name could block
    // the open or never end.
    if (!QFileInfo(file).isFile() || !file.open(QIODevice::ReadOnly)) {
        qCDebug(lcUpdater) << "Open data File fail";
        return false;
    }
    const QByteArray bytes = file.read(static_cast<qint64>(imagefile::kMaxFileSize) + 1);
    file.close();

    using imagefile::Verdict;
    imagefile::Contents contents = imagefile::parse(reinterpret_cast<const uint8_t *>(bytes.constData()),
                                                    static_cast<size_t>(bytes.size()));
    if (contents.verdict == Verdict::TooLong) {
        qCDebug(lcUpdater) << "data File too long";
        return false;
    }
    setWindowTitle(contents.magicHeader ? QStringLiteral("Update")
                                        : QString::fromLocal8Bit(contents.title.data(),
                                                                 static_cast<int>(contents.title.size())));
    if (contents.verdict == Verdict::NoImage)
        return false;
    if (contents.verdict == Verdict::NoImageHeader) {
        qCDebug(lcUpdater) << "data File truncated";
        return false;
    }
    m_hid.setKeyboardIds(contents.vendorId, contents.productId);
    if (contents.verdict == Verdict::ImageCut) {
        qCDebug(lcUpdater) << "data File truncated";
        return false;
    }

    m_image = std::move(contents.image);
    m_imageLength = contents.length;
    if (loadProgdata() != 0)
        return false;

    m_mcu = {};
    m_mcu.size = sizeof m_mcu;
    unsigned short k1 = 0;
    if (GetMCUInfo(&m_mcu) != 0 && (m_mcu.programBlock == 512 || m_mcu.programBlock == 1024)) {
        k1 = GetChksum(1);
        const unsigned short k2 = GetChksum(2);
        qCDebug(lcUpdater) << "test" << k1 << k2;
        m_checksumField->setText(QString::number(GetChksum(2), 16));
    }
    return k1 == contents.checksum && m_out2 == kImageLoaded;
}

void Widget::onDeviceArrival()
{
    RunState &run = m_hid.runState();
    const int found = m_hid.findDevice();
    if (found != run.deviceIndex) {
        run.deviceIndex = found;
        emit deviceChange(found);
    }
}

void Widget::onDeviceRemoval()
{
    m_hid.runState().deviceIndex = -1;
    emit deviceChange(-1);
}

void Widget::deviceChangeProc(int deviceIndex)
{
    RunState &run = m_hid.runState();
    qCDebug(lcUpdater) << "Device" << deviceIndex << run.updateState;
    if (run.updateState < 0)
        return;

    if (run.updateState == 0 && run.deviceIndex == Hid_Thread::kKeyboard) {
        run.updateState = 1;
        if (run.autoUpdate) {
            m_later.start(kAutoUpdateDelayMs);
        } else {
            m_updateButton->setEnabled(true);
            showStatus(Connected);
        }
    } else if (run.updateState == 0 && run.deviceIndex == Hid_Thread::kBootLoader) {
        run.updateState = 2;
        m_updateButton->setEnabled(true);
        showStatus(ReadyToUpdate);
    } else if (run.updateState == 1 && run.deviceIndex == Hid_Thread::kBootLoader) {
        run.updateState = 2;
        showStatus(ReadyToUpdate);
        processEvents();
        QThread::msleep(kClickPauseMs);
        m_updateButton->setEnabled(true);
        m_updateButton->click();
    } else if (run.updateState == 3 && run.deviceIndex == Hid_Thread::kKeyboard) {
        run.updateState = 0;
        run.autoUpdate = true;
    }
}

void Widget::updateProc()
{
    // The procedure processes events between its steps; a click or timer
    // that lands meanwhile must not start a second run inside the first.
    if (m_inUpdateProc) {
        m_calledDuringRun = true;
        return;
    }
    m_inUpdateProc = true;
    m_calledDuringRun = false;
    const int state = m_hid.runState().updateState;
    if (state == 1)
        enterBootLoaderStep();
    else if (state == 2)
        programStep();
    m_inUpdateProc = false;
    // The boot loader may arrive, and click "Update", while the entry step
    // still processes events; programming then starts once that step is over
    // instead of waiting for a second click.
    if (m_calledDuringRun && state == 1 && m_hid.runState().updateState == 2)
        QTimer::singleShot(0, this, &Widget::updateProc);
}

void Widget::enterBootLoaderStep()
{
    RunState &run = m_hid.runState();
    if (run.deviceIndex != Hid_Thread::kKeyboard) {
        m_later.start(kRetryDelayMs);
        return;
    }
    if (run.autoUpdate)
        run.autoUpdate = false;
    else
        m_hid.clearCmdBuffer();

    m_progress->setValue(1);
    showStatus(EnteringBootLoader);
    processEvents();

    // The keyboard then drops off the bus and comes back as its boot loader;
    // that arrival moves on to programming.
    for (int attempt = 0; attempt < kBootLoaderAttempts; ++attempt) {
        if (m_hid.enterBootLoader())
            return;
        QThread::msleep(kBootLoaderRetryMs);
    }
}

bool Widget::geometryFits(uint32_t pageSize, uint32_t pageCount)
{
    if (pageCount == 0)
        return true;
    // Start addresses and lengths travel as 16-bit values: a larger flash
    // would wrap round and have the wrong pages programmed.
    return pageSize > 0 && pageSize <= 0xFFFF && uint64_t(pageSize) * pageCount <= kAddressableBytes;
}

void Widget::programStep()
{
    m_updateButton->setEnabled(false);
    m_exitButton->setEnabled(false);
    processEvents();

    const int connected = ConnectToBootloader();
    QThread::msleep(kConnectPauseMs);
    const int loaded = loadProgdata();
    // Both must succeed; adding the two results would let opposite codes
    // cancel out.
    if (connected != 0 || loaded != 0) {
        fail(nullptr);
        return;
    }

    // The record read at start gives the target MCU's geometry; once
    // connected, the library describes the boot loader actually there, and
    // that is what gets programmed.
    uint32_t pages = m_mcu.pageCount;
    uint32_t pageBytes = m_mcu.pageSize;
    McuInfo there = {};
    there.size = sizeof there;
    if (GetMCUInfo(&there) != 0 && there.describesConnected == 1) {
        pages = there.pageCount;
        pageBytes = there.pageSize;
    }
    if (!geometryFits(pageBytes, pages)) {
        fail("Flash too large");
        return;
    }
    m_progress->setRange(0, progressValue(3ull * pages + 2));
    const uint16_t pageSize = static_cast<uint16_t>(pageBytes);

    showStatus(Erasing);
    for (uint32_t page = 0; page < pages; ++page) {
        const int rc = EraseByPage(static_cast<unsigned short>(page), 1, 0);
        m_progress->setValue(progressValue(page + 1));
        processEvents();
        if (rc != 0) {
            fail("Erase Error");
            return;
        }
    }

    if (BlankCheck(0) != 0) {
        fail("BlankCheck Error");
        return;
    }

    showStatus(Programming);
    for (uint32_t page = 0; page < pages; ++page) {
        const int rc = PartialProgram(static_cast<unsigned short>(page * pageSize),
                                      static_cast<unsigned short>(pageSize));
        m_progress->setValue(progressValue(uint64_t(pages) + page + 1));
        processEvents();
        if (rc != 0) {
            fail("Program Error");
            return;
        }
    }

    showStatus(Verifying);
    bool verified = true;
    for (uint32_t page = 0; page < pages; ++page) {
        const int rc = VerifyByPage(static_cast<unsigned short>(page), 1, 0);
        m_progress->setValue(progressValue(2ull * pages + page + 1));
        processEvents();
        if (rc != 0) {
            verified = false;
            break;
        }
    }
    QThread::msleep(kVerifyPauseMs);
    if (!verified) {
        fail("Verify Error");
        return;
    }

    const int executed = ExecuteProgramFrom(2);
    QThread::msleep(kExecutePauseMs);
    const int locked = executed == 0 ? LockAll() : 0;
    if (executed != 0 || locked == 0) {
        fail("Lock Error");
        return;
    }

    SwitchToUserProgram();
    QThread::msleep(kSwitchPauseMs);
    DisConnectBootloader();
    m_exitButton->setEnabled(true);
    RunState &run = m_hid.runState();
    run.updateState = 3;
    run.failCount = 0;
    qCDebug(lcUpdater) << "Update Success";
    showStatus(UpdateSuccess);
    m_progress->setValue(progressValue(3ull * pages + 2));
}

void Widget::fail(const char *message)
{
    if (message)
        qCDebug(lcUpdater) << message;
    DisConnectBootloader();
    RunState &run = m_hid.runState();
    ++run.failCount;
    if (run.failCount < kMaxFailures) {
        m_later.start(kRetryDelayMs);
        return;
    }
    m_exitButton->setEnabled(true);
    showStatus(UpdateFail);
    qCDebug(lcUpdater) << "Update fail";
    run.updateState = -1;
    run.autoUpdate = false;
}

} // namespace romwriter
