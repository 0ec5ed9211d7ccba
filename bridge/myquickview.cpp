#include "myquickview.h"

#include "bridgelog.h"

#include "hid_thread.h"
#include "profileslots.h"
#include "programfiles.h"
#include "settingslocks.h"
#include "uimath.h"
#include "viewaccessibility.h"

#include <QDir>
#include <QFocusEvent>
#include <QMetaObject>
#include <QProcess>
#include <QQuickItem>
#include <QSettings>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <sys/syscall.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcBridge, "gearpanel.bridge")

namespace {

const char *const kHardwareDefPath = "./modules/setting/HWDef.bin";
const char *const kUpdaterPath = "./modules/update/romwriter";
const char *const kSkinFolder = "./modules/img";
constexpr int kUpdaterStartDelayMs = 500;

} // namespace

myQQuickView::myQQuickView(QWidget *parent) : QQuickWidget(parent)
{
    // The main window is translucent and the QML draws its own shadows, so
    // the view must not paint an opaque background behind them.
    setClearColor(Qt::transparent);
    setAttribute(Qt::WA_AlwaysStackOnTop);
    registerGearpanelQmlTypes();
    // Screen readers must meet the document's items under this view, and
    // the interfaces are made as soon as the document sets their names.
    viewaccessibility::install();

    createMedia();

    // A crash in the middle of a save must not hold up the next one.
    settingslocks::removeEmptyLocks(QStringLiteral("./modules/setting"));
    for (int slot = 0; slot < 4; ++slot)
        settingslocks::removeEmptyLocks(QStringLiteral("./modules/macro%1").arg(slot));

    apConfig = new QSettings(QString::fromLatin1(programfiles::kApConfig), QSettings::IniFormat);
    // A fresh program folder has only the default profile: without this,
    // every slot would read as an empty profile with no key assigned.
    profileslots::makeMissingSlots();
    for (int slot = 0; slot < 4; ++slot)
        profiles.append(new QSettings(programfiles::profilePath(slot), QSettings::IniFormat));

    {
        QSettings hardware(QString::fromLatin1(kHardwareDefPath), QSettings::IniFormat);
        layout = static_cast<uchar>(hardware.value(QStringLiteral("common/kbLayoutType"), 0).toUInt());
    }

    rebuildKeyCodes();
}

myQQuickView::~myQQuickView()
{
    if (updaterFd >= 0)
        ::close(updaterFd);

    // Settings objects write what they still hold when destroyed.
    qDeleteAll(profiles);
    profiles.clear();
    delete apConfig;
    apConfig = nullptr;
}

void myQQuickView::callQml(const char *name, const QVariantList &args)
{
    QQuickItem *root = rootObject();
    if (!root)
        return;
    QGenericArgument a[4];
    for (int i = 0; i < args.size() && i < 4; ++i)
        a[i] = Q_ARG(QVariant, args.at(i));
    // A function the root lacks is simply not called.
    QMetaObject::invokeMethod(root, name, Qt::QueuedConnection, a[0], a[1], a[2], a[3]);
}

void myQQuickView::syncFW()
{
    if (hid) {
        ushort version = 0;
        hid->hid_80H_GetFWVersion(version, layout);
        // The answer is one byte from the keyboard; every profile file and
        // macro folder is indexed by it, so only a slot that exists is taken.
        uchar reported = 0;
        hid->hid_A1H_GetCurrentProfile(reported);
        if (reported < profiles.size())
            currentProfile = reported;
        else
            qCWarning(lcBridge) << "keyboard reported profile" << reported << "- keeping" << currentProfile;
    }
    rebuildKeyCodes();
}

void myQQuickView::initUI()
{
    callQml("initUI");
}

void myQQuickView::runUI()
{
    callQml("run");
}

void myQQuickView::zzzTovrin(uchar profileNo, uchar effect, uchar brightness, uchar speed)
{
    callQml("zzzTovrin", {int(profileNo), int(effect), int(brightness), int(speed)});
}

void myQQuickView::detectKeyboard(bool isDown, uchar usbCode)
{
    callQml("detectKeyboard", {isDown, int(usbCode)});
}

void myQQuickView::detectMouse(bool isDown, uchar darvCode, uint x, uint y)
{
    callQml("detectMouse", {isDown, uint(darvCode), x, y});
}

void myQQuickView::openUpdateExe()
{
    // One updater at a time: a second would fight the first for the boot
    // loader.
    if (updaterPid)
        return;
    // The updater must find the keyboard free: no event read may be pending,
    // and the window opens nothing until it has ended (updaterFinished).
    if (hid)
        hid->stopMonitor();
    QThread::msleep(kUpdaterStartDelayMs);
    emit updaterStarted();
    // Detached: a QProcess would kill romwriter when gearpanel closes, which
    // in the middle of programming leaves the keyboard without firmware.
    qint64 pid = 0;
    if (!QProcess::startDetached(QString::fromLatin1(kUpdaterPath), QStringList(), QString(), &pid) || pid <= 0) {
        qCWarning(lcBridge) << "romwriter did not start";
        emit updaterFinished();
        return;
    }
    watchUpdater(pid);
}

void myQQuickView::watchUpdater(qint64 pid)
{
    updaterPid = pid;
#ifdef SYS_pidfd_open
    updaterFd = int(::syscall(SYS_pidfd_open, pid_t(pid), 0));
#endif
    if (updaterFd >= 0) {
        updaterWatch = new QSocketNotifier(updaterFd, QSocketNotifier::Read, this);
        connect(updaterWatch, &QSocketNotifier::activated, this, &myQQuickView::updaterEnded);
        return;
    }
    updaterLook = new QTimer(this);
    connect(updaterLook, &QTimer::timeout, this, [this] {
        if (::kill(pid_t(updaterPid), 0) != 0 && errno == ESRCH)
            updaterEnded();
    });
    updaterLook->start(200);
}

void myQQuickView::updaterEnded()
{
    if (updaterWatch) {
        updaterWatch->setEnabled(false);
        updaterWatch->deleteLater();
        updaterWatch = nullptr;
    }
    if (updaterFd >= 0) {
        ::close(updaterFd);
        updaterFd = -1;
    }
    if (updaterLook) {
        updaterLook->deleteLater();
        updaterLook = nullptr;
    }
    updaterPid = 0;
    emit updaterFinished();
}

void myQQuickView::setKeyboardConnected(bool connected)
{
    keyboardConnected = connected;
    callQml(connected ? "keyboardArrived" : "keyboardRemoved");
}

bool myQQuickView::canSend(const char *slot) const
{
    if (!keyboardConnected)
        qCWarning(lcBridge) << slot << "refused: no keyboard connected";
    return keyboardConnected;
}

bool myQQuickView::getIsSkinShow()
{
    const QDir skins(QString::fromLatin1(kSkinFolder));
    if (!skins.exists())
        return false;
    return skins.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Unsorted).size() > 1;
}

void myQQuickView::focusInEvent(QFocusEvent *event)
{
    repaint();
    event->accept();
}

void myQQuickView::hideEvent(QHideEvent *event)
{
    callQml("windowHidden");
    QQuickWidget::hideEvent(event);
}

void myQQuickView::showEvent(QShowEvent *event)
{
    callQml("windowShown");
    QQuickWidget::showEvent(event);
}
