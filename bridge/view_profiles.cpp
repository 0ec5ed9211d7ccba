// The profile store: the four slot files p1.bin..p4.bin, their export,
// import and reset, and the key matrix read of the key page.
#include "bridgelog.h"
#include "filecopy.h"
#include "myquickview.h"
#include "programfiles.h"
#include "userdialogs.h"

#include <QFile>
#include <QSettings>
#include <QStandardPaths>

namespace {

const char *const kDefaultProfile = "./modules/setting/pD.bin";
const char *const kProfileFilter = "Profile(*.pf)";
constexpr int kSlots = 4;

bool isSlot(int profile)
{
    return profile >= 0 && profile < kSlots;
}

QString desktop()
{
    return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
}

} // namespace

void myQQuickView::saveProfile(int profile)
{
    if (!isSlot(profile))
        return;
    const QString target = UserDialogs::current().saveFileName(this, QStringLiteral("Save File"), desktop(),
                                                               QString::fromLatin1(kProfileFilter));
    if (target.isEmpty())
        return;
    // What the pages applied a moment ago may still wait in the settings
    // object; the export must hold it.
    profiles.at(profile)->sync();
    // The dialog has asked before overwriting; the old export stays in place
    // until the copy is complete.
    if (!filecopy::replaceWithCopy(programfiles::profilePath(profile), target))
        qCWarning(lcBridge) << "profile" << profile << "not exported to" << target;
}

void myQQuickView::loadProfile(int profile)
{
    if (!isSlot(profile))
        return;
    const QString source = UserDialogs::current().openFileName(this, QStringLiteral("Open File"), desktop(),
                                                               QString::fromLatin1(kProfileFilter));
    if (source.isEmpty())
        return;
    replaceProfile(profile, source);
}

void myQQuickView::resetProfile(int profile)
{
    if (!isSlot(profile))
        return;
    replaceProfile(profile, QString::fromLatin1(kDefaultProfile));
}

void myQQuickView::replaceProfile(int slot, const QString &source)
{
    const QString fileName = profiles.at(slot)->fileName();
    // The old object writes what it still holds now, so nothing of it can
    // land on the new file later.
    delete profiles.takeAt(slot);
    if (!filecopy::replaceWithCopy(source, fileName))
        qCWarning(lcBridge) << "slot" << slot << "keeps its file;" << source << "could not be copied";
    profiles.insert(slot, new QSettings(fileName, QSettings::IniFormat));
}

QVariantList myQQuickView::getKeydefine(QVariant matrixId)
{
    const QString key = QStringLiteral("keydefine%1/%2").arg(int(layout)).arg(matrixId.toString());
    return profile().value(key, QVariant()).toList();
}
