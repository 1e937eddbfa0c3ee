#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "installer/package/bundle_manifest.h"
#include "installer/package/split_choice.h"
#include "installer/package/unpacker.h"

namespace tarnel {

class DeviceBridge;

// Tells whether a file is still the one that was read: same file, size and modification time.
struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modifiedNs = 0;
    bool operator==(const FileStamp&) const = default;
};
std::optional<FileStamp> StampOf(const std::filesystem::path& path);

// A bundle read and checked, its APKs extracted and each one's identity read with aapt.
struct OpenedBundle {
    BundleKind kind = BundleKind::Apks;
    BundleDescription description;
    std::string packageName;  // the base APK's
    std::string versionCode;
    std::vector<BundleSplit> apks;  // extracted files and their split names; the base first
    // The files for the phone's shared storage, installPath their place there: the OBB files
    // (the listed expansions and the entries under Android/obb/PACKAGE/), then the game's data
    // (entries under Android/data/PACKAGE/).
    std::vector<BundleExpansion> expansions;
    std::vector<BundleExpansion> gameData;
    std::string iconEntry;           // "icon.png" when the bundle has one
    std::optional<FileStamp> stamp;  // of the file when it was read
    std::string error;               // why it cannot be used, narrow; empty when it can
};

// Reads the bundle at path, checking its entry names as a game package's, and extracts its APKs
// into apkFolder (which must exist). Refused: an encrypted .apkm, an unreadable description, no
// or several base APKs, splits of another package or version than the base, a base that is not
// the package the description names, an expansion outside Android/obb/PACKAGE/, entries under
// Android/ anywhere but Android/obb/PACKAGE/ and Android/data/PACKAGE/, and two files for one
// place on the phone.
OpenedBundle OpenBundle(const DeviceBridge& tools, const std::filesystem::path& path,
                        const std::filesystem::path& apkFolder);

// A fresh folder of its own under the work folder, for a bundle's APKs while they are read;
// empty when none can be made.
std::filesystem::path CreateBundleWorkFolder();

// Why the bundle at path cannot be installed (narrow), read as OpenBundle reads it in a work
// folder of its own with the aapt that the installer finds; empty when it can.
std::string CheckBundleFile(const std::filesystem::path& path);

// Where UnpackBundle puts an APK of the bundle.
std::filesystem::path UnpackedApk(const std::filesystem::path& folder, const BundleSplit& apk);

// Unpacks from the bundle at path, read as bundle, the APKs chosen (by their file in bundle.apks)
// to UnpackedApk and its files for the phone to folder/Android/..., each checked against its CRC,
// on the unpacker's threads (options.place is its own).
UnpackReport UnpackBundle(const OpenedBundle& bundle, const std::filesystem::path& path,
                          const std::vector<std::string>& chosen,
                          const std::filesystem::path& folder, UnpackOptions options);

}  // namespace tarnel
