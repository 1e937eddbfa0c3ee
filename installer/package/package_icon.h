#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tarnel {

class DeviceBridge;

// The entry names to try for an APK's icon, best first: the densest bitmap among aapt's
// `application-icon-NNN:'PATH'` lines, then the file name of iconPath under res/drawable-xhdpi/
// and res/drawable-hdpi/, then iconPath itself. XML icons (adaptive icons) are no pictures and
// are passed over.
std::vector<std::string> ApkIconCandidates(std::string_view badging, std::string_view iconPath);

// Writes the icon of the package at bridge.packagePath (icon.png, any case) or, when isPackage is
// false, of the APK at bridge.apkPath to target. Nothing is written, and nothing said, when
// there is no icon; gives whether one was written.
bool ExtractIcon(DeviceBridge& bridge, const std::filesystem::path& target, bool isPackage);

}  // namespace tarnel
