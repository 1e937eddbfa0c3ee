#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "bridge/device_bridge.h"

namespace tarnel {

// Where a package's data folder lands on the phone: the "android" folder is pushed to /sdcard/.
inline constexpr const char* kPhoneDataRoot = "/sdcard/Android";

// The files and folders on the phone that pushing dataFolder would add, found before the push:
// what the phone already holds is never listed, so that removing the list after a failed
// installation leaves the game's earlier data as it was. Where the phone cannot say what a
// folder holds, nothing under it is listed.
std::vector<std::string> DataThePushWouldAdd(DeviceBridge& bridge,
                                             const std::filesystem::path& dataFolder);

}  // namespace tarnel
