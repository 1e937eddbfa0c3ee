#include "bridge/device_bridge.h"
#include "bridge/package_name.h"
#include "platform/command_line.h"
#include "platform/folders.h"

namespace tarnel {
namespace {

bool IsClientOnly(ToolCommand kind) {
    return kind == ToolCommand::ProcessList || kind == ToolCommand::CompanionPackageDump;
}

}  // namespace

std::string DeviceBridge::AdbHead() const {
    const std::string adb = QuoteArgumentIfNeeded(adbPath);
    return serial.empty() ? adb : adb + " -s " + QuoteArgument(serial);
}

std::string DeviceBridge::BuildCommand(ToolCommand kind) const {
    const bool client = variant_ == BridgeVariant::Client;
    if (client ? kind == ToolCommand::RemoveObbData : IsClientOnly(kind))
        return {};
    const std::string& tool = kind == ToolCommand::Badging ? aaptPath : adbPath;
    if (tool.empty())
        return {};
    // The device list is the one command that must see every phone.
    const std::string head = kind == ToolCommand::Badging || kind == ToolCommand::Devices
                                 ? QuoteArgumentIfNeeded(tool)
                                 : AdbHead();
    const auto needing = [&](const std::string& member, const std::string& line) {
        return member.empty() ? std::string() : line;
    };
    switch (kind) {
        case ToolCommand::Badging:
            return needing(apkPath, head + " d badging " + QuoteArgument(apkPath));
        case ToolCommand::Devices:
            return head + " devices -l";
        case ToolCommand::ProductModel:
            return head + " shell getprop ro.product.model";
        case ToolCommand::StartCompanion:
            return head +
                   " shell am start -n com.kestrum.player/com.kestrum.player.base.GuideActivity";
        case ToolCommand::ProcessList:
            return head + " shell ps ";
        case ToolCommand::PackageList:
            return head + " shell pm list package";
        case ToolCommand::ReadDeviceInfoFile:
            return head + (client ? " shell cat /sdcard/kestrum_bbs/phoneInfo.dat"
                                  : " shell cat /mnt/sdcard/tarnel/deviceInfo.dat");
        case ToolCommand::RemoveObbData:
            if (!IsValidPackageName(packageName))
                return {};
            return head + " shell rm -r /sdcard/android/obb/" + packageName;
        case ToolCommand::ReleaseVersion:
            return head + " shell getprop ro.build.version.release";
        case ToolCommand::WindowDump:
            return head + " shell dumpsys window";
        case ToolCommand::Screencap:
            return head + (client ? " shell screencap -p /sdcard/screencap.png"
                                  : " shell screencap -p /mnt/sdcard/screencap.png");
        case ToolCommand::PullScreencap:
            return head + " pull /sdcard/screencap.png " + QuoteArgument(WorkTmpFolder().string());
        case ToolCommand::RootProbe:
            return head + " shell su -c \"ls /data\"";
        case ToolCommand::PushObbData:
            // Into /sdcard/ itself: adb puts a folder inside an existing target folder, and every
            // phone already has /sdcard/Android. --sync leaves out each file that the phone holds
            // with the same size and modification time.
            return needing(obbSourceDir,
                           head + " push --sync " + QuoteArgument(obbSourceDir) + " /sdcard/");
        case ToolCommand::Install:
            return needing(apkPath, head + " install -r " + QuoteArgument(apkPath));
        case ToolCommand::InstallExternal:
            return needing(apkPath, head + " install -r -s " + QuoteArgument(apkPath));
        case ToolCommand::CompanionPackageDump:
            return head + " shell dumpsys package com.kestrum.player ";
        case ToolCommand::Uninstall:
            if (!IsValidPackageName(packageName))
                return {};
            return head + " uninstall " + packageName;
    }
    return {};
}

}  // namespace tarnel
