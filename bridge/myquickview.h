// The QML view that fills the main window, and the one native object QML
// reaches for everything outside itself ("ui_View"): device settings, the
// configuration, profile and macro files, the definition files, sounds and
// the firmware updater.
//
// The slots are declared in the order QML's meta-object table lists them;
// later slots join in their places. Native code reaches QML only by calling
// functions of the root object by name, every argument wrapped in a
// QVariant; all such calls are queued except "setProtectUI" (see
// Ui_Controler), so QML sees them in the order they were made.
#pragma once

#include "deviceeventsink.h"

#include <QList>
#include <QMap>
#include <QQuickWidget>
#include <QStringList>
#include <QVariant>

#include <array>

class Hid_Thread;
class QSettings;
namespace Phonon {
class MediaObject;
}

class myQQuickView : public QQuickWidget, public DeviceEventSink
{
    Q_OBJECT
public:
    explicit myQQuickView(QWidget *parent = nullptr);
    ~myQQuickView() override;

    // Set by the main window right after construction; every device
    // operation goes through it.
    void setHid(Hid_Thread *link) { hid = link; }

    // Forwarders of the global key and mouse capture: queue the root
    // functions "detectKeyboard" and "detectMouse".
    void detectKeyboard(bool isDown, uchar usbCode);
    void detectMouse(bool isDown, uchar darvCode, uint x, uint y);

    uchar keyboardLayout() const { return layout; }
    uchar activeProfile() const { return currentProfile; }
    const QMap<QString, uchar> &keyCodeMap() const { return keyCodes; }
    const QStringList &messageStrings() const { return globalStrings; }
    bool isAudioEnabled() const { return audioEnabled; }

public slots:
    void syncFW();
    void initUI();
    void runUI();
    // Called on the monitor's pool thread; only queues the QML call.
    void zzzTovrin(uchar profileNo, uchar effect, uchar brightness, uchar speed) override;
    void setEnableAudio(bool isEnable);
    void playMedia_Index(uchar index);
    void playMedia_Background();
    void clearAllMedia();
    void openUpdateExe();
    void saveApConfig(QVariantList apConfigs);
    QVariantList loadApConfig();
    void resetApconfig();
    QVariantList loadHWDef();
    QVariantList loadLangName(uchar lang);
    QVariantList loadUsbStr();
    QVariantList loadUsbCode();
    bool getIsSkinShow();
    QString getCustomFilePath();
    QVariantMap chkLanguages();
    QStringList getGlobalStrings(QString langCode);

protected:
    void focusInEvent(QFocusEvent *event) override;

private:
    // Queues root function `name` with the given arguments (at most four).
    void callQml(const char *name, const QVariantList &args = {});
    void rebuildKeyCodes();
    // Builds the background and effect players with their outputs and
    // connects the ends that restart the background.
    void createMedia();

    Hid_Thread *hid = nullptr;
    bool audioEnabled = true;
    Phonon::MediaObject *backgroundMedia = nullptr;
    std::array<Phonon::MediaObject *, 4> effectMedia{};
    QSettings *apConfig = nullptr;
    QList<QSettings *> profiles;
    uchar currentProfile = 0;
    QStringList globalStrings;
    uchar layout = 0;
    QMap<QString, uchar> keyCodes;
};
