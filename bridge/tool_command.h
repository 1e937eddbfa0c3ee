#pragma once

namespace tarnel {

// Which program's command table a bridge answers with: the client and the installer issue
// slightly different command lines for some kinds, and each lacks a few kinds of the other.
enum class BridgeVariant { Client, Installer };

enum class ToolCommand {
    Badging,
    Devices,
    ProductModel,
    StartCompanion,
    ProcessList,
    PackageList,
    ReadDeviceInfoFile,
    RemoveObbData,
    ReleaseVersion,
    WindowDump,
    Screencap,
    PullScreencap,
    RootProbe,
    PushObbData,
    Install,
    InstallExternal,
    CompanionPackageDump,
    Uninstall,
};

}  // namespace tarnel
