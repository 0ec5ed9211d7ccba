#include "programfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

ProgramFolder::ProgramFolder(const QString &title)
{
    write(QStringLiteral("modules/setting/apConfig.bin"),
          "[common]\nname=" + title.toUtf8() + "\nproduct_name=Q3 Keyboard, Q4 Mouse\ntotal=0\n");
    write(QStringLiteral("modules/setting/HWDef.bin"), "[common]\nkbLayoutType=0\n");
    write(QStringLiteral("modules/setting/KeyCodeDef.bin"),
          "[0]\nusbStr=A, B\nusbCode=4, 5\n[1]\nusbStr=\xc3\x91, B\nusbCode=51, 5\n");
}

void ProgramFolder::write(const QString &relative, const QByteArray &text) const
{
    const QString target = dir.filePath(relative);
    QDir().mkpath(QFileInfo(target).path());
    QFile file(target);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(text);
}
