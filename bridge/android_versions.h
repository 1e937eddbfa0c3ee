#pragma once

#include <string>
#include <string_view>

namespace tarnel {

// APK inspection names the levels up to 14; reading a package manifest knows them up to 22.
enum class VersionTableColumn { Inspection, Manifest };

// The Android version name of an API level ("8" gives "Android 2.2"); a level without a row in
// the column comes back unchanged.
std::string AndroidVersionName(std::string_view level, VersionTableColumn column);

}  // namespace tarnel
