#pragma once

#include "installer/package/package_manifest.h"
#include "installer/package/package_messages.h"

namespace tarnel {

class DeviceBridge;
class PackageArchive;

enum class ManifestRead { Read, Missing, Unreadable, Broken };

// The manifest of an open package, its values in the narrow encoding. Broken also when it names
// no valid package.
ManifestRead ReadArchiveManifest(const PackageArchive& archive, PackageManifest& manifest);

// Reads manifest.data of the package at bridge.packagePath and fills appLabel, packageName,
// versionName, sizeText and androidVersion. Gives 0, or -1 after telling sink why ("解压缩出错."
// when the package or its manifest cannot be found, "打开文件出错." when the manifest cannot be
// read, "文件解密出错" when it does not inflate or names no valid package, and the reason of
// CheckPackageEntries for a package that may not be installed). The facts are left as they were
// on failure.
int ReadPackageInfo(DeviceBridge& bridge, MessageSink& sink);

// Results of ReadPackagePermissions.
inline constexpr int kPermissionsRead = 0;
inline constexpr int kPermissionsUnreadable = -1;    // APK missing, too long, or not for aapt
inline constexpr int kPermissionsApkDiffers = -2;    // the APK is another package than described
inline constexpr int kPermissionsNoWorkFolder = -3;  // the work folder cannot be written

// Fills permissionText from aapt's badging dump of the package's APK, copied (no longer than its
// manifest's apkSize) to a temporary file of its own, so that two packages read at once never
// share one, and removed afterwards; apkPath is left as it was. permissionText stays empty unless
// the result is kPermissionsRead.
int ReadPackagePermissions(DeviceBridge& bridge);

}  // namespace tarnel
