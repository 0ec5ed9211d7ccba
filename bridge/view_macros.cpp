// The macro store: one INI file per macro in the active slot's folder
// "./modules/macro<slot>/", the binding to a device place, and sending a
// macro to the keyboard.
#include "bridgelog.h"
#include "definitions.h"
#include "filecopy.h"
#include "hid_thread.h"
#include "macrocodec.h"
#include "myquickview.h"
#include "userdialogs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <algorithm>

namespace {

const char *const kMacroFilter = "Macro(*.mc)";
const QString kIndex = QStringLiteral("config/index");
const QString kTotal = QStringLiteral("config/total");
const QString kRepeat = QStringLiteral("config/repeat");
const QString kDid = QStringLiteral("config/did");
constexpr int kUnbound = -1;
// Message numbers in the language file for a profile whose macro places
// are all taken; the English text stands in while a language lacks them.
constexpr int kPlacesTakenTitle = 4;
constexpr int kPlacesTakenText = 5;

bool isPlace(int index)
{
    return index >= 0 && index < macrocodec::kPlacesPerProfile;
}

QString desktop()
{
    return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
}

QString lineKey(int i)
{
    return QStringLiteral("macro/%1").arg(i);
}

} // namespace

QString myQQuickView::macroFolder() const
{
    return QStringLiteral("./modules/macro%1/").arg(int(currentProfile));
}

QString myQQuickView::macroPath(const QVariant &name) const
{
    const QString text = name.toString();
    if (!macrocodec::isSafeName(text)) {
        qCWarning(lcBridge) << "macro name refused:" << text.toUtf8().toPercentEncoding(" .");
        return QString();
    }
    return macroFolder() + text + QStringLiteral(".bin");
}

int myQQuickView::currentDid() const
{
    return hid ? int(hid->curDid()) : 0;
}

QStringList myQQuickView::getMacroIniNames()
{
    return QDir(macroFolder())
        .entryList({QStringLiteral("*.bin")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
}

QVariant myQQuickView::createMacroIni()
{
    QDir().mkpath(macroFolder());
    for (int n = 1;; ++n) {
        const QString name = macrocodec::numberedName(n);
        const QString path = macroPath(name);
        if (QFileInfo::exists(path))
            continue;
        QSettings file(path, QSettings::IniFormat);
        file.setValue(kIndex, kUnbound);
        file.setValue(kTotal, 0);
        file.setValue(kRepeat, 1);
        file.setValue(kDid, -1);
        file.sync();
        if (file.status() != QSettings::NoError) {
            qCWarning(lcBridge) << "cannot create" << path;
            return QString();
        }
        return name;
    }
}

QVariant myQQuickView::deleteMacroIni(QVariant name)
{
    const QString path = macroPath(name);
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return false;
    return QFile::remove(path);
}

void myQQuickView::renameMacroIniFile(QVariant oldName, QVariant newName)
{
    const QString from = macroPath(oldName);
    const QString to = macroPath(newName);
    if (from.isEmpty() || to.isEmpty())
        return;
    // QFile::rename never replaces an existing file.
    if (!QFile::rename(from, to))
        qCDebug(lcBridge) << "rename" << from << "to" << to << "not done";
}

QStringList myQQuickView::loadMacroIni(QVariant name)
{
    QStringList lines;
    const QString path = macroPath(name);
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return lines;
    const QSettings file(path, QSettings::IniFormat);
    // A damaged total must not hold the GUI in a loop of millions of reads.
    const int total = qMin(definitions::boundedCount(file.value(kTotal, 0)), macrocodec::kMaxLines);
    for (int i = 0; i < total; ++i)
        lines.append(file.value(lineKey(i), QStringLiteral("0")).toString());
    return lines;
}

QVariant myQQuickView::saveMacroIni(QVariant name, QStringList macros)
{
    const QString path = macroPath(name);
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return false;
    int index = kUnbound;
    {
        QSettings file(path, QSettings::IniFormat);
        file.remove(QStringLiteral("macro"));
        file.setValue(kTotal, macros.size());
        for (int i = 0; i < macros.size(); ++i)
            file.setValue(lineKey(i), macros.at(i));
        file.sync();
        index = file.value(kIndex, kUnbound).toInt();
    }
    // A bound macro is sent again so the keyboard plays the edited version.
    if (isPlace(index))
        ui_10H_SetMacroKey(index, name);
    return true;
}

QVariantList myQQuickView::loadMacroIniConfig(QVariant name)
{
    const QString path = macroPath(name);
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return {};
    const QSettings file(path, QSettings::IniFormat);
    const int repeat = file.value(kRepeat, 1).toInt();
    // A binding counts only on the device it was made for.
    if (file.value(kDid, -1).toInt() != currentDid())
        return {kUnbound, repeat};
    return {file.value(kIndex, kUnbound).toInt(), repeat};
}

void myQQuickView::setMacroIniConfig(QVariant name, QVariantList config)
{
    const QString path = macroPath(name);
    if (path.isEmpty() || !QFileInfo(path).isFile() || config.size() < 2)
        return;
    QSettings file(path, QSettings::IniFormat);
    file.setValue(kIndex, config.at(0).toInt());
    file.setValue(kRepeat, config.at(1).toInt());
    file.setValue(kDid, currentDid());
}

int myQQuickView::bindMacroIndex(const QString &path)
{
    const QString own = QFileInfo(path).canonicalFilePath();
    bool taken[macrocodec::kPlacesPerProfile] = {};
    const QDir folder(macroFolder());
    for (const QFileInfo &other : folder.entryInfoList({QStringLiteral("*.bin")}, QDir::Files)) {
        if (other.canonicalFilePath() == own)
            continue;
        const QSettings file(other.filePath(), QSettings::IniFormat);
        const int index = file.value(kIndex, kUnbound).toInt();
        if (isPlace(index) && file.value(kDid, -1).toInt() == currentDid())
            taken[index] = true;
    }
    const bool *free = std::find(std::begin(taken), std::end(taken), false);
    if (free == std::end(taken)) {
        const QString title = globalStrings.value(kPlacesTakenTitle);
        const QString text = globalStrings.value(kPlacesTakenText);
        UserDialogs::current().warning(
            nullptr, title.isEmpty() ? QStringLiteral("Macro") : title,
            text.isEmpty() ? QStringLiteral("All 17 macro places of this profile are taken. "
                                            "Remove a macro from its key before binding another.")
                           : text);
        return kUnbound;
    }
    const int index = int(free - std::begin(taken));
    QSettings file(path, QSettings::IniFormat);
    file.setValue(kIndex, index);
    file.setValue(kDid, currentDid());
    return index;
}

void myQQuickView::ui_10H_SetMacroKey(QVariant macroId, QVariant name)
{
    if (!canSend("ui_10H_SetMacroKey"))
        return;
    const QString path = macroPath(name);
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return;
    int index = macroId.toInt();
    if (!isPlace(index)) {
        // An unbound macro takes its stored place when the key page has just
        // recorded one, otherwise the lowest place no other macro holds.
        const QVariantList config = loadMacroIniConfig(name);
        index = config.isEmpty() ? kUnbound : config.at(0).toInt();
        if (!isPlace(index))
            index = bindMacroIndex(path);
        if (!isPlace(index))
            return;
    }

    QList<uchar> stream = macroIncode(loadMacroIni(name));
    if (stream.size() > macrocodec::kBlockBytes) {
        UserDialogs::current().warning(nullptr, globalStrings.value(0), globalStrings.value(1));
        stream = stream.mid(0, macrocodec::kBlockBytes);
    }
    std::array<uchar, macrocodec::kBlockBytes> block = macrocodec::block(stream);
    if (hid)
        hid->hid_10H_SetMacroKey(macrocodec::deviceId(index, currentProfile), block.data());
}

QList<uchar> myQQuickView::macroIncode(QStringList macros)
{
    return macrocodec::encode(macros, keyCodes);
}

void myQQuickView::loadMacroIniFromFile(QVariant name)
{
    const QString target = macroPath(name);
    if (target.isEmpty())
        return;
    const QString source = UserDialogs::current().openFileName(this, QStringLiteral("Open File"), desktop(),
                                                               QString::fromLatin1(kMacroFilter));
    if (source.isEmpty() || !QFileInfo(target).isFile())
        return;
    // An import brings lines, never a binding: the file's own place would
    // leave the key that plays this macro pointing at nothing, or give two
    // macros one place. The target keeps its place, repeat mode and device.
    int index = kUnbound;
    int repeat = 1;
    int did = -1;
    {
        const QSettings old(target, QSettings::IniFormat);
        index = old.value(kIndex, kUnbound).toInt();
        repeat = old.value(kRepeat, 1).toInt();
        did = old.value(kDid, -1).toInt();
    }
    // The macro keeps its file when the chosen one cannot be copied.
    if (!filecopy::replaceWithCopy(source, target)) {
        qCWarning(lcBridge) << "macro" << name.toString() << "not imported from" << source;
        return;
    }
    {
        QSettings file(target, QSettings::IniFormat);
        file.setValue(kIndex, index);
        file.setValue(kRepeat, repeat);
        file.setValue(kDid, did);
        file.sync();
    }
    // The keyboard plays the new lines from the place the key already uses.
    if (isPlace(index) && did == currentDid())
        ui_10H_SetMacroKey(index, name);
}

void myQQuickView::saveMacroIniToFile(QVariant name)
{
    const QString source = macroPath(name);
    if (source.isEmpty() || !QFileInfo(source).isFile())
        return;
    const QString target = UserDialogs::current().saveFileName(this, QStringLiteral("Save File"), desktop(),
                                                               QString::fromLatin1(kMacroFilter));
    if (target.isEmpty())
        return;
    // The save dialog has already asked before overwriting.
    if (!filecopy::replaceWithCopy(source, target))
        qCWarning(lcBridge) << "macro" << name.toString() << "not exported to" << target;
}
