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
#include <QThread>

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
    // A QProcess kills its program when destroyed: romwriter, killed in the
    // middle of programming, would leave the keyboard without firmware. It
    // is left to finish on its own.
    if (updater) {
        updater->disconnect(this);
        updater->setParent(nullptr);
        updater = nullptr;
    }

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
    if (updater)
        return;
    // The updater must find the keyboard free: no event read may be pending,
    // and the window opens nothing until it has ended (updaterFinished).
    if (hid)
        hid->stopMonitor();
    QThread::msleep(kUpdaterStartDelayMs);
    updater = new QProcess(this);
    // Nobody reads the updater's output: it must not fill a pipe and stall.
    updater->setProcessChannelMode(QProcess::ForwardedChannels);
    connect(updater, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this, [this] {
        updater->deleteLater();
        updater = nullptr;
        emit updaterFinished();
    });
    connect(updater, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart || !updater)
            return;
        qCWarning(lcBridge) << "romwriter did not start:" << updater->errorString();
        updater->deleteLater();
        updater = nullptr;
        emit updaterFinished();
    });
    emit updaterStarted();
    updater->start(QString::fromLatin1(kUpdaterPath), QStringList(), QIODevice::ReadWrite);
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
