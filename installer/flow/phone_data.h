#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "bridge/device_bridge.h"

namespace tarnel {

// Where a package's data folder lands on the phone: the "android" folder is pushed to /sdcard/.
inline constexpr const char* kPhoneDataRoot = "/sdcard/Android";

// What a push of dataFolder does to the phone, found before the push: the files and folders it
// adds, and the files it writes over (those the phone holds with another size or time; the
// others the push leaves out). What the phone already holds is never listed as added, so that
// removing the list after a failed installation leaves the game's earlier data as it was. Where
// the phone cannot say what a folder holds, nothing under it is listed.
struct PhoneDataChange {
    std::vector<std::string> added;
    std::vector<std::string> replaced;
};
PhoneDataChange PhoneDataThePushChanges(DeviceBridge& bridge,
                                        const std::filesystem::path& dataFolder);

}  // namespace tarnel
