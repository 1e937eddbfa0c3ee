#pragma once

#include <iosfwd>
#include <string>

namespace tarnel {

class DeviceBridge;

// tarnelInstall --info: the facts of an APK as one UTF-8 JSON object on out. 0 on success, 2
// when the file cannot be read as a package (the reason on err).
int RunInfoCommand(DeviceBridge& bridge, const std::string& path, std::ostream& out,
                   std::ostream& err);

}  // namespace tarnel
