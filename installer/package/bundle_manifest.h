#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnel {

// Split-APK bundles: APKPure's .xapk, bundletool's and SAI's .apks, APKMirror's .apkm.
enum class BundleKind { Xapk, Apks, Apkm };

// By the file's extension, any letter case.
std::optional<BundleKind> BundleKindOf(const std::filesystem::path& file);

// A file of an XAPK for the phone's shared storage: its entry and where it goes there.
struct BundleExpansion {
    std::string entry;
    std::string installPath;
    std::uint64_t entryIndex = 0;  // in the bundle's zip, once it has been opened
};

// What a bundle's own description says (UTF-8); every field may be empty.
struct BundleDescription {
    std::string packageName;
    std::string appName;
    std::string versionName;
    std::string versionCode;
    std::string minSdk;
    std::vector<std::string> apkEntries;  // XAPK split_apks, base first when marked
    std::vector<BundleExpansion> expansions;
};

// manifest.json of an XAPK; numbers may be written as strings. Throws std::runtime_error with a
// short English reason when the text is not such a manifest.
BundleDescription ParseXapkManifest(std::string_view json);
// info.json of an APKM (pname, app_name, release_version, versioncode, min_api).
BundleDescription ParseApkmInfo(std::string_view json);

// The place of an expansion's install_path under the phone's shared storage
// ("Android/obb/PACKAGE/..."), its components checked as entry names are; nothing when it lies
// anywhere else.
std::optional<std::string> ExpansionPlace(std::string_view installPath,
                                          std::string_view packageName);

}  // namespace tarnel
