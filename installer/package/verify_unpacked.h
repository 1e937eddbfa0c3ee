#pragma once

#include <filesystem>
#include <string>

namespace tarnel {

class DeviceBridge;

// Results of VerifyUnpacked.
inline constexpr int kUnpackedIntact = 0;
inline constexpr int kManifestMissing = -1;
inline constexpr int kManifestBroken = -2;
inline constexpr int kApkMissing = -3;
inline constexpr int kApkAltered = -4;
inline constexpr int kDataAltered = -5;
inline constexpr int kApkNameDiffers = -6;

struct UnpackedPaths {
    std::filesystem::path apk;         // the package's APK
    std::filesystem::path dataFolder;  // "android", pushed to the phone
    std::string packageName;           // as the manifest names it
};

// Checks an unpacked package against its manifest: manifest.data readable and whole, the APK
// named by a valid packageName present and apkSize long, and the files under android/ dataSize
// bytes in all (no folder counts 0). Names are matched without regard to ASCII case, as the
// packages come from Windows.
int VerifyUnpackedFolder(const std::filesystem::path& folder, UnpackedPaths& paths);

// The same on bridge.unpackFolder; sets bridge.apkPath and bridge.obbSourceDir. With aapt at
// hand, the APK must also be the package the manifest names (kApkNameDiffers), as the facts
// shown were read from the manifest.
int VerifyUnpacked(DeviceBridge& bridge);

}  // namespace tarnel
