// The bridge's own use of the runner, with a stand-in adb for what real adb does not do on demand.
#include <gtest/gtest.h>

#include "bridge/device_bridge.h"

namespace tarnel {
namespace {

TEST(RunTool, ReturnsAllTextWithZeroBytesDropped) {
    DeviceBridge bridge(BridgeVariant::Installer);
    EXPECT_EQ(bridge.RunTool(std::string(FAKE_TOOL) + " zero"), "beforeafter");
    EXPECT_EQ(bridge.RunTool(std::string(FAKE_TOOL) + " both"), "out line\nerror: err line\n");
    EXPECT_EQ(bridge.RunTool("/nonexistent/adb devices"), "");
}

TEST(RunTool, QuickQueriesHaveATimeLimit) {
    DeviceBridge bridge(BridgeVariant::Client);
    bridge.adbPath = FAKE_TOOL;
    bridge.quickQueryLimit = std::chrono::milliseconds(300);
    // "adb devices" on a stand-in that hangs: the poll must come back, and finds no phone.
    EXPECT_EQ(bridge.IsDeviceConnected(), 0);
}

TEST(DeviceOperations, MissingAdbFailsSafely) {
    DeviceBridge bridge(BridgeVariant::Installer);
    bridge.apkPath = "/x.apk";
    bridge.obbSourceDir = "/x/android";
    EXPECT_EQ(bridge.IsDeviceConnected(), 0);
    EXPECT_EQ(bridge.InstallApk(1), 0);
    EXPECT_EQ(bridge.installFailure, "NONE");
    // Without adb nothing was pushed: that is a failure, not a success.
    EXPECT_EQ(bridge.PushObbData(), 1);
    DeviceBridge client(BridgeVariant::Client);
    client.apkPath = "/x.apk";
    EXPECT_EQ(client.InstallCompanionApk(), 1);
    EXPECT_EQ(client.IsCompanionInstalled(), 1);
    EXPECT_EQ(client.companionInstalled, 0);
    EXPECT_FALSE(client.IsCompanionCurrent());
    client.deviceInfo.model = "kept";
    EXPECT_EQ(client.ReadDeviceInfo(), 0);
    EXPECT_EQ(client.deviceInfo.model, "kept");
}

}  // namespace
}  // namespace tarnel
