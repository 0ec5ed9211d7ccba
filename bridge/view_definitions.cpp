// The view's slots over the definition files: languages, key names and
// codes, the key tables of the keyboard drawing, and picking a custom picture.
#include "bridgelog.h"
#include "definitions.h"
#include "myquickview.h"
#include "userdialogs.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

const char *const kLanguageDir = "./modules/i18n";
const char *const kSettingDir = "./modules/setting";
const char *const kKeyCodeDefPath = "./modules/setting/KeyCodeDef.bin";
const char *const kLanguageTablePath = "./modules/setting/HWDef1.bin";
// Position of the language index in the configuration list.
constexpr int kApConfigLanguage = 4;

QString languagePath(const QString &langCode)
{
    return QString::fromLatin1(kLanguageDir) + QStringLiteral("/lang_") + langCode + QStringLiteral(".ini");
}

} // namespace

QVariantMap myQQuickView::chkLanguages()
{
    return definitions::listLanguages(QString::fromLatin1(kLanguageDir));
}

QStringList myQQuickView::getGlobalStrings(QString langCode)
{
    const definitions::LanguageStrings strings = definitions::loadLanguage(languagePath(langCode));
    globalStrings = strings.messages;
    return strings.ui;
}

QVariantList myQQuickView::loadUsbStr()
{
    return definitions::loadList(QString::fromLatin1(kKeyCodeDefPath),
                                 QString::number(layout) + QStringLiteral("/usbStr"));
}

QVariantList myQQuickView::loadUsbCode()
{
    return definitions::loadList(QString::fromLatin1(kKeyCodeDefPath),
                                 QString::number(layout) + QStringLiteral("/usbCode"));
}

void myQQuickView::rebuildKeyCodes()
{
    keyCodes = definitions::buildKeyCodes(loadUsbStr(), loadUsbCode());
}

QVariantList myQQuickView::loadHWDef()
{
    // Before the settings page has saved anything the list is empty and there
    // is no language index: that reads as a missing table.
    const QVariantList config = loadApConfig();
    const QString index =
        config.size() > kApConfigLanguage ? config.at(kApConfigLanguage).toString() : QString();
    qCDebug(lcBridge) << "test" << index << int(layout);
    return definitions::loadHardwareTable(
        definitions::hardwareTablePath(QString::fromLatin1(kSettingDir), index), QString::number(layout));
}

QVariantList myQQuickView::loadLangName(uchar lang)
{
    // Reads the configuration as loadHWDef does, although the table of a
    // language number does not depend on it.
    loadApConfig();
    qCDebug(lcBridge) << "test1" << int(lang);
    return definitions::loadHardwareTable(QString::fromLatin1(kLanguageTablePath), QString::number(lang));
}

QString myQQuickView::getCustomFilePath()
{
    const QString path = UserDialogs::current().openFileName(
        this, QStringLiteral("Open File"), QStandardPaths::writableLocation(QStandardPaths::PicturesLocation),
        QStringLiteral("Image Files(*.png)"));
    if (path.isEmpty())
        return QString();
    // Only a regular file counts: opening a FIFO that happens to end in
    // ".png" would block the GUI until something writes to it.
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        UserDialogs::current().warning(nullptr, globalStrings.value(2), globalStrings.value(3) + path);
        return QString();
    }
    file.close();
    return path;
}
