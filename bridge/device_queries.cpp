#include "bridge/adb_output.h"
#include "bridge/device_bridge.h"

namespace tarnel {

int DeviceBridge::IsDeviceConnected() {
    return ListsReadyDevice(Run(ToolCommand::Devices)) ? 1 : 0;
}

int DeviceBridge::ReadyDeviceCount() {
    return CountReadyDevices(Run(ToolCommand::Devices));
}

int DeviceBridge::IsCompanionInstalled() {
    companionInstalled = ListsPackage(Run(ToolCommand::PackageList), kCompanionPackage) ? 1 : 0;
    // The result is the opposite of the flag; callers read the flag.
    return companionInstalled == 1 ? 0 : 1;
}

bool DeviceBridge::IsCompanionCurrent() {
    return IsVersionAtLeast(DumpedVersionName(Run(ToolCommand::CompanionPackageDump)),
                            kCompanionMinimumVersion);
}

void DeviceBridge::StartCompanion() {
    Run(ToolCommand::ProcessList);
    Run(ToolCommand::StartCompanion);
}

int DeviceBridge::ReadDeviceInfo() {
    return ParseDeviceInfo(Run(ToolCommand::ReadDeviceInfoFile), deviceInfo) ? 1 : 0;
}

}  // namespace tarnel
