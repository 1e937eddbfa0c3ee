#pragma once

#include "installer/package/package_messages.h"

namespace tarnel {

class DeviceBridge;

// Reads manifest.data of the package at bridge.packagePath and fills appLabel, packageName,
// versionName, sizeText and androidVersion. Gives 0, or -1 after telling sink why ("解压缩出错."
// when the package or its manifest cannot be found, "打开文件出错." when the manifest cannot be
// read, "文件解密出错" when it does not inflate or names no valid package). The facts are left as
// they were on failure.
int ReadPackageInfo(DeviceBridge& bridge, MessageSink& sink);

// Fills permissionText from aapt's badging dump of the package's APK, copied to a temporary file
// of its own (so that two packages read at once never share one) and removed afterwards.
// bridge.apkPath names that copy. Empty when the APK is missing or aapt cannot read it.
void ReadPackagePermissions(DeviceBridge& bridge);

}  // namespace tarnel
