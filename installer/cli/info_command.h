#pragma once

#include <iosfwd>
#include <string>

namespace tarnel {

class DeviceBridge;

// Game packages by their extension, in any letter case.
bool IsGamePackagePath(const std::string& path);

// tarnelInstall --info: the facts of an APK or a game package as one UTF-8 JSON object on out. 0 on
// success, 2 when the file cannot be read as a package (the reason on err).
int RunInfoCommand(DeviceBridge& bridge, const std::string& path, std::ostream& out,
                   std::ostream& err);

}  // namespace tarnel
