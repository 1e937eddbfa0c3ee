#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "installer/package/bundle_manifest.h"
#include "installer/package/split_choice.h"

namespace tarnel {

class DeviceBridge;

// A bundle read and checked, its APKs extracted and each one's identity read with aapt.
struct OpenedBundle {
    BundleKind kind = BundleKind::Apks;
    BundleDescription description;
    std::string packageName;  // the base APK's
    std::string versionCode;
    std::vector<BundleSplit> apks;  // extracted files and their split names; the base first
    std::vector<BundleExpansion> expansions;  // installPath checked by ExpansionPlace
    std::string iconEntry;                    // "icon.png" when the bundle has one
    std::string error;                        // why it cannot be used, narrow; empty when it can
};

// Reads the bundle at path, checking its entry names as a game package's, and extracts its APKs
// into apkFolder (which must exist). Refused: an encrypted .apkm, an unreadable description, no
// or several base APKs, splits of another package or version than the base, a base that is not
// the package the description names, and an expansion outside Android/obb/PACKAGE/.
OpenedBundle OpenBundle(const DeviceBridge& tools, const std::filesystem::path& path,
                        const std::filesystem::path& apkFolder);

// A fresh folder of its own under the work folder, for a bundle's APKs while they are read;
// empty when none can be made.
std::filesystem::path CreateBundleWorkFolder();

// Why the bundle at path cannot be installed (narrow), read as OpenBundle reads it in a work
// folder of its own with the aapt that the installer finds; empty when it can.
std::string CheckBundleFile(const std::filesystem::path& path);

// Extracts the bundle's expansions into folder/Android/obb/PACKAGE/..., telling progress the
// bytes done and in all; false with error set when one cannot be written whole.
bool ExtractExpansions(const OpenedBundle& bundle, const std::filesystem::path& path,
                       const std::filesystem::path& folder,
                       const std::function<void(std::uint64_t, std::uint64_t)>& progress,
                       std::string* error);

}  // namespace tarnel
