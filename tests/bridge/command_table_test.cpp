#include <gtest/gtest.h>

#include "bridge/device_bridge.h"
#include "platform/command_line.h"
#include "platform/folders.h"

namespace tarnel {
namespace {

DeviceBridge Bridge(BridgeVariant variant) {
    DeviceBridge bridge(variant);
    bridge.adbPath = "/t/adb";
    bridge.aaptPath = "/t/aapt";
    bridge.apkPath = "/g/My Game.apk";
    bridge.obbSourceDir = "/g/~racer/android";
    bridge.packageName = "com.example.racer";
    return bridge;
}

TEST(BuildCommand, GivesEachVariantItsLines) {
    const std::string tmp = QuoteArgument(WorkTmpFolder().string());
    const struct {
        ToolCommand kind;
        const char* client;
        const char* installer;
    } cases[] = {
        {ToolCommand::Badging, "/t/aapt d badging \"/g/My Game.apk\"",
         "/t/aapt d badging \"/g/My Game.apk\""},
        {ToolCommand::Devices, "/t/adb devices -l", "/t/adb devices -l"},
        {ToolCommand::ProductModel, "/t/adb shell getprop ro.product.model",
         "/t/adb shell getprop ro.product.model"},
        {ToolCommand::StartCompanion,
         "/t/adb shell am start -n com.kestrum.player/com.kestrum.player.base.GuideActivity",
         "/t/adb shell am start -n com.kestrum.player/com.kestrum.player.base.GuideActivity"},
        {ToolCommand::ProcessList, "/t/adb shell ps ", ""},
        {ToolCommand::PackageList, "/t/adb shell pm list package", "/t/adb shell pm list package"},
        {ToolCommand::ReadDeviceInfoFile, "/t/adb shell cat /sdcard/kestrum_bbs/phoneInfo.dat",
         "/t/adb shell cat /mnt/sdcard/tarnel/deviceInfo.dat"},
        {ToolCommand::RemoveObbData, "",
         "/t/adb shell rm -r /sdcard/android/obb/com.example.racer"},
        {ToolCommand::ReleaseVersion, "/t/adb shell getprop ro.build.version.release",
         "/t/adb shell getprop ro.build.version.release"},
        {ToolCommand::WindowDump, "/t/adb shell dumpsys window", "/t/adb shell dumpsys window"},
        {ToolCommand::Screencap, "/t/adb shell screencap -p /sdcard/screencap.png",
         "/t/adb shell screencap -p /mnt/sdcard/screencap.png"},
        {ToolCommand::RootProbe, "/t/adb shell su -c \"ls /data\"",
         "/t/adb shell su -c \"ls /data\""},
        {ToolCommand::PushObbData, "/t/adb push --sync \"/g/~racer/android\" /sdcard/",
         "/t/adb push --sync \"/g/~racer/android\" /sdcard/"},
        {ToolCommand::Install, "/t/adb install -r \"/g/My Game.apk\"",
         "/t/adb install -r \"/g/My Game.apk\""},
        {ToolCommand::InstallExternal, "/t/adb install -r -s \"/g/My Game.apk\"",
         "/t/adb install -r -s \"/g/My Game.apk\""},
        {ToolCommand::CompanionPackageDump, "/t/adb shell dumpsys package com.kestrum.player ", ""},
        {ToolCommand::Uninstall, "/t/adb uninstall com.example.racer",
         "/t/adb uninstall com.example.racer"},
    };
    const DeviceBridge client = Bridge(BridgeVariant::Client);
    const DeviceBridge installer = Bridge(BridgeVariant::Installer);
    for (const auto& c : cases) {
        EXPECT_EQ(client.BuildCommand(c.kind), c.client) << static_cast<int>(c.kind);
        EXPECT_EQ(installer.BuildCommand(c.kind), c.installer) << static_cast<int>(c.kind);
    }
    EXPECT_EQ(client.BuildCommand(ToolCommand::PullScreencap),
              "/t/adb pull /sdcard/screencap.png " + tmp);
}

// Once a phone is chosen every adb command but the device list names it, blanks and all.
TEST(BuildCommand, NamesTheChosenPhone) {
    DeviceBridge bridge = Bridge(BridgeVariant::Installer);
    bridge.serial = "adb-R5 (2)._adb-tls-connect._tcp";
    EXPECT_EQ(bridge.BuildCommand(ToolCommand::Devices), "/t/adb devices -l");
    EXPECT_EQ(bridge.BuildCommand(ToolCommand::Install),
              "/t/adb -s \"adb-R5 (2)._adb-tls-connect._tcp\" install -r \"/g/My Game.apk\"");
    EXPECT_EQ(SplitCommandLine(bridge.BuildCommand(ToolCommand::PushObbData))[2], bridge.serial);
    EXPECT_EQ(bridge.BuildCommand(ToolCommand::Badging), "/t/aapt d badging \"/g/My Game.apk\"");
}

TEST(BuildCommand, EmptyWithoutWhatTheKindNeeds) {
    DeviceBridge bridge = Bridge(BridgeVariant::Installer);
    bridge.aaptPath.clear();
    EXPECT_EQ(bridge.BuildCommand(ToolCommand::Badging), "");
    EXPECT_NE(bridge.BuildCommand(ToolCommand::Devices), "");
    bridge.apkPath.clear();
    bridge.obbSourceDir.clear();
    EXPECT_EQ(bridge.BuildCommand(ToolCommand::Install), "");
    EXPECT_EQ(bridge.BuildCommand(ToolCommand::InstallExternal), "");
    EXPECT_EQ(bridge.BuildCommand(ToolCommand::PushObbData), "");
    for (const char* unsafe : {"", "com.a; reboot", "../../x.y", "com.a b"}) {
        bridge.packageName = unsafe;
        EXPECT_EQ(bridge.BuildCommand(ToolCommand::RemoveObbData), "") << unsafe;
        EXPECT_EQ(bridge.BuildCommand(ToolCommand::Uninstall), "") << unsafe;
    }
    bridge.adbPath.clear();
    EXPECT_EQ(bridge.BuildCommand(ToolCommand::Devices), "");
    EXPECT_EQ(bridge.RunTool(""), "");
}

TEST(BuildCommand, HostilePathsStayOneArgument) {
    DeviceBridge bridge = Bridge(BridgeVariant::Installer);
    bridge.adbPath = "/opt/my tools/adb";
    for (const char* path : {"/g/a \"quoted\" dir/android", "/g/back\\slash\\", "/g/$(reboot);x",
                             "/g/new\nline/android"}) {
        bridge.obbSourceDir = path;
        bridge.apkPath = path;
        const auto push = SplitCommandLine(bridge.BuildCommand(ToolCommand::PushObbData));
        EXPECT_EQ(push, (std::vector<std::string>{"/opt/my tools/adb", "push", "--sync", path,
                                                  "/sdcard/"}));
        const auto install = SplitCommandLine(bridge.BuildCommand(ToolCommand::InstallExternal));
        EXPECT_EQ(install,
                  (std::vector<std::string>{"/opt/my tools/adb", "install", "-r", "-s", path}));
    }
}

}  // namespace
}  // namespace tarnel
