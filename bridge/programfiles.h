// Files beside the program that more than one part of it opens. Every path
// is relative to the program's folder, which start-up makes current.
#pragma once

#include <QString>

namespace programfiles {

// The application configuration and its factory copy.
inline constexpr char kApConfig[] = "./modules/setting/apConfig.bin";
inline constexpr char kFactoryApConfig[] = "./modules/setting/apConfigD.bin";

// The default profile that ships beside the program; slots are reset to it.
inline constexpr char kDefaultProfile[] = "./modules/setting/pD.bin";

// The profile file of slot 0 to 3: p1.bin to p4.bin.
inline QString profilePath(int slot)
{
    return QStringLiteral("./modules/setting/p%1.bin").arg(slot + 1);
}

} // namespace programfiles
