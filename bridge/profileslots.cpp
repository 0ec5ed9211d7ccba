#include "profileslots.h"

#include "bridgelog.h"
#include "filecopy.h"
#include "programfiles.h"

#include <QFileInfo>

namespace profileslots {

bool makeFromDefault(const QString &slotFile, const QString &defaultFile)
{
    const QFileInfo slot(slotFile);
    // Whatever the user or the launcher put there stays, a link included.
    if (slot.exists() || slot.isSymLink())
        return false;
    if (!QFileInfo(defaultFile).isFile())
        return false;
    if (!filecopy::replaceWithCopy(defaultFile, slotFile)) {
        qCWarning(lcBridge) << "profile slot" << slotFile << "not made from" << defaultFile;
        return false;
    }
    qCDebug(lcBridge) << "profile slot" << slotFile << "made from" << defaultFile;
    return true;
}

int makeMissingSlots()
{
    const QString defaultFile = QString::fromLatin1(programfiles::kDefaultProfile);
    if (!QFileInfo(defaultFile).isFile())
        return 0;
    int made = 0;
    for (int slot = 0; slot < 4; ++slot) {
        if (makeFromDefault(programfiles::profilePath(slot), defaultFile))
            ++made;
    }
    return made;
}

} // namespace profileslots
