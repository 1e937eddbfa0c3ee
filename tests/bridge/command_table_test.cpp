// Commands as the bridge builds them; each kind is run on the simulated phone in the end-to-end
// tests.
#include <gtest/gtest.h>

#include "bridge/device_bridge.h"
#include "platform/command_line.h"

namespace tarnel {
namespace {

DeviceBridge Bridge() {
    DeviceBridge bridge(BridgeVariant::Installer);
    bridge.adbPath = "/t/adb";
    bridge.aaptPath = "/t/aapt";
    bridge.apkPath = "/g/My Game.apk";
    bridge.obbSourceDir = "/g/~racer/android";
    bridge.packageName = "com.example.racer";
    return bridge;
}

// Once a phone is chosen every adb command but the device list names it, blanks and all.
TEST(BuildCommand, NamesTheChosenPhone) {
    DeviceBridge bridge = Bridge();
    bridge.serial = "adb-R5 (2)._adb-tls-connect._tcp";
    EXPECT_EQ(bridge.BuildCommand(ToolCommand::Devices), "/t/adb devices -l");
    EXPECT_EQ(bridge.BuildCommand(ToolCommand::Install),
              "/t/adb -s \"adb-R5 (2)._adb-tls-connect._tcp\" install -r \"/g/My Game.apk\"");
    EXPECT_EQ(SplitCommandLine(bridge.BuildCommand(ToolCommand::PushObbData))[2], bridge.serial);
    EXPECT_EQ(bridge.BuildCommand(ToolCommand::Badging), "/t/aapt d badging \"/g/My Game.apk\"");
}

TEST(BuildCommand, EmptyWithoutWhatTheKindNeeds) {
    DeviceBridge bridge = Bridge();
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

// Any path surviving the quoting is the platform's command-line table; here the bridge uses it.
TEST(BuildCommand, HostilePathsStayOneArgument) {
    DeviceBridge bridge = Bridge();
    bridge.adbPath = "/opt/my tools/adb";
    const std::string path = "/g/a \"quoted\" $(reboot);\\";
    bridge.obbSourceDir = bridge.apkPath = path;
    EXPECT_EQ(SplitCommandLine(bridge.BuildCommand(ToolCommand::PushObbData)),
              (std::vector<std::string>{"/opt/my tools/adb", "push", "--sync", path, "/sdcard/"}));
    EXPECT_EQ(SplitCommandLine(bridge.BuildCommand(ToolCommand::InstallExternal)),
              (std::vector<std::string>{"/opt/my tools/adb", "install", "-r", "-s", path}));
}

}  // namespace
}  // namespace tarnel
