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
class QSocketNotifier;
class QTimer;
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

    // Whether a keyboard is there to send to. While none is, the setters
    // neither send nor record: a profile file must never claim a setting
    // the keyboard did not receive.
    bool isKeyboardConnected() const { return keyboardConnected; }
    // The main window follows the keyboard: tells QML ("keyboardRemoved", or
    // "keyboardArrived" once syncFW has read the returned keyboard).
    void setKeyboardConnected(bool connected);
    bool isUpdaterRunning() const { return updaterPid != 0; }

signals:
    // romwriter has started and needs the keyboard to itself; it has ended.
    void updaterStarted();
    void updaterFinished();

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
    void loadProfile(int profile);
    void saveProfile(int profile);
    void resetProfile(int profile);
    void loadMacroIniFromFile(QVariant name);
    void saveMacroIniToFile(QVariant name);
    void renameMacroIniFile(QVariant oldName, QVariant newName);
    QString getCustomFilePath();
    QVariantMap chkLanguages();
    QStringList getGlobalStrings(QString langCode);
    QVariant createMacroIni();
    QVariant deleteMacroIni(QVariant name);
    QStringList getMacroIniNames();
    QVariant saveMacroIni(QVariant name, QStringList macros);
    QStringList loadMacroIni(QVariant name);
    QVariantList loadMacroIniConfig(QVariant name);
    void setMacroIniConfig(QVariant name, QVariantList config);
    QVariantList getKeydefine(QVariant matrixId);
    QList<uchar> macroIncode(QStringList macros);

    // The settings bridge: each slot carries the code of the device command
    // behind it. Setters record what QML gave in the active profile file
    // before sending; lists shorter than a setter needs are refused whole.
    void ui_01H_SetReportRate(uchar rate);
    void ui_02H_SetKeyboardMode(uchar mode);
    void ui_04H_SetButtonSensitivity(uchar sens1);
    void ui_08H_SetLEDType(uchar type, uchar brightness, uchar speed, uchar direction, uchar color,
                           uchar type_Side);
    void ui_0C0DH_SetKeyMatrix(QVariantList src256);
    void ui_10H_SetMacroKey(QVariant macroId, QVariant name);
    void ui_12H_SetUserPicture(uchar index, uchar option, QVariantList src384);
    void ui_13H_SetRecoveryData();
    void ui_21H_SetCurrentProfile(int profile);
    void ui_30H_SetColor(QVariantList src21);
    bool ui_80H_GetFWVersion();
    QVariant ui_80H_GetHWMode();
    QVariant ui_81H_GetReportRate();
    QVariant ui_82H_GetKeyboardMode();
    QVariant ui_84H_GetButtonSensitivity();
    QVariantList ui_88H_GetLEDType();
    QVariantList ui_88H_GetLEDTypeX();
    QVariantList ui_8C8DH_GetKeyMatrix();
    QVariantList ui_92H_GetUserPicture(uchar index);
    QVariant ui_A1H_GetCurrentProfile();
    QVariantList ui_B0H_GetColor();

protected:
    void focusInEvent(QFocusEvent *event) override;
    // Queues the root function "windowHidden": pages that watch the desktop
    // (a macro recording) stop once the window goes to the tray.
    void hideEvent(QHideEvent *event) override;
    // Queues the root function "windowShown": what stopped for the tray
    // (the lighting preview) goes on.
    void showEvent(QShowEvent *event) override;

private:
    // Queues root function `name` with the given arguments (at most four).
    void callQml(const char *name, const QVariantList &args = {});
    void rebuildKeyCodes();
    // Builds the background and effect players and connects the ends that
    // restart the background. Each player gets its audio output, and the
    // sound back end starts, when it first plays (view_sounds.cpp).
    void createMedia();

    // The active slot's profile file.
    QSettings &profile() const { return *profiles.at(currentProfile); }
    // Replaces slot `slot`'s file with a copy of `source`; the slot keeps its
    // old file when the copy cannot be made.
    void replaceProfile(int slot, const QString &source);

    // The active slot's macro folder, "./modules/macro<slot>/".
    QString macroFolder() const;
    // The file of macro `name` in the active folder, or empty when the name
    // could reach outside it.
    QString macroPath(const QVariant &name) const;
    // The device index whose bindings count now.
    int currentDid() const;
    // A device place 0..16 for macro `name`, given to it and stored when it
    // has none; -1 (after telling the user) when all are taken.
    int bindMacroIndex(const QString &path);

    // False (with a warning naming `slot`) while no keyboard is connected.
    bool canSend(const char *slot) const;

    Hid_Thread *hid = nullptr;
    bool keyboardConnected = true;
    // romwriter runs on its own: closing gearpanel must not end it while it
    // programs the keyboard. Its end is seen through a process descriptor,
    // or a look every fifth of a second where the kernel has none.
    void watchUpdater(qint64 pid);
    void updaterEnded();
    qint64 updaterPid = 0;
    int updaterFd = -1;
    QSocketNotifier *updaterWatch = nullptr;
    QTimer *updaterLook = nullptr;
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
