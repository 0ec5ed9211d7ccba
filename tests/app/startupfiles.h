// The files the window and the view read at start, written into a scratch
// program folder.
#pragma once

#include "programfolder.h"

// apConfig.bin titled `title`, HWDef.bin with layout 0 and a KeyCodeDef.bin
// with two keys per layout ("A" 4 and "B" 5; "Ñ" 51 and "B" 5).
inline bool writeStartupFiles(const ProgramFolder &folder, const QString &title)
{
    return folder.write(QStringLiteral("modules/setting/apConfig.bin"),
                        "[common]\nname=" + title.toUtf8() +
                            "\nproduct_name=Q3 Keyboard, Q4 Mouse\ntotal=0\n") &&
           folder.write(QStringLiteral("modules/setting/HWDef.bin"), "[common]\nkbLayoutType=0\n") &&
           folder.write(QStringLiteral("modules/setting/KeyCodeDef.bin"),
                        "[0]\nusbStr=A, B\nusbCode=4, 5\n[1]\nusbStr=\xc3\x91, B\nusbCode=51, 5\n");
}
