// DeviceBridge through the real adb to the simulated phone, for what the installs (flow_e2e) and
// the client's phone preparation (client_e2e) do not show: a phone's facts in the forms each
// Android version prints, whether a phone is there at all, a companion that will not install.

#include <gtest/gtest.h>

#include "bridge/device_bridge.h"
#include "platform/tool_locator.h"
#include "tests/apk/apk_builder.h"
#include "tests/support/phone_fixture.h"

namespace tarnel::test {
namespace {

DeviceBridge RealToolsBridge(BridgeVariant variant) {
    DeviceBridge bridge(variant);
    bridge.adbPath = FindTool("adb", "TARNEL_ADB");
    bridge.aaptPath = FindTool("aapt", "TARNEL_AAPT");
    return bridge;
}

struct FactsCase {
    const char* name;
    Scenario scenario;
    const char* display;
    double tolerance;  // bytes: toybox counts whole KiB, toolbox tenths of a unit
};

void PrintTo(const FactsCase& row, std::ostream* out) {
    *out << row.name;
}

const FactsCase kFactsCases[] = {
    {"Modern", Scenario::object(), "1080x2248", 1024},
    {"RootedNoCardOverride",
     {{"root", true},
      {"sdcard", false},
      {"display", "720x1480"},
      {"physicalDisplay", "1080x2220"},
      {"model", "SM-G9650"},
      {"brand", "samsung"},
      {"release", "10"},
      {"cpuCount", 4}},
     "720x1480",
     1024},
    {"Android6Toolbox",
     {{"release", "6.0.1"}, {"features", "legacy"}, {"cpuType", "armeabi-v7a"}},
     "1080x2248",
     0.05 * 1024 * 1024 * 1024},
    {"Android42NoWm",
     {{"release", "4.2.2"}, {"features", "legacy"}, {"cpuCount", 2}},
     "1080x2248",
     1024.0 * 1024 * 1024},
};

class DirectFacts : public ::testing::TestWithParam<FactsCase> {};

TEST_P(DirectFacts, EqualTheScenario) {
    const FactsCase& row = GetParam();
    SimulatedPhone phone(row.scenario);
    DeviceBridge bridge = RealToolsBridge(BridgeVariant::Client);
    ASSERT_EQ(bridge.ReadDirectFacts(), 1);
    const DeviceInfo& info = bridge.deviceInfo;
    const auto value = [&](const char* key, auto fallback) {
        return row.scenario.value(key, fallback);
    };
    EXPECT_EQ(info.model, value("model", std::string("MI 8")));
    EXPECT_EQ(info.deviceType, info.model);
    EXPECT_EQ(info.deviceName, value("brand", std::string("Xiaomi")));
    EXPECT_EQ(info.androidRelease, "android " + value("release", std::string("9")));
    EXPECT_EQ(info.deviceCPUType, value("cpuType", std::string("arm64-v8a")));
    EXPECT_EQ(info.deviceCPUCount, std::to_string(value("cpuCount", 8)));
    EXPECT_EQ(info.deviceDisplay, row.display);
    EXPECT_EQ(info.deviceRoot, value("root", false) ? 1 : 0);
    EXPECT_NEAR(info.ramSizeTotal, 6000000000, 1024);
    EXPECT_NEAR(info.ramSizeFree, 2500000000, 1024);
    EXPECT_NEAR(info.dataSizeTotal, 64000000000, row.tolerance);
    EXPECT_NEAR(info.dataSizeFree, 20000000000, row.tolerance);
    const bool card = value("sdcard", true);
    EXPECT_NEAR(info.sdcardSizeTotal, card ? 32000000000 : 0, row.tolerance);
    EXPECT_NEAR(info.sdcardSizeFree, card ? 30000000000 : 0, row.tolerance);
}

INSTANTIATE_TEST_SUITE_P(Phones, DirectFacts, ::testing::ValuesIn(kFactsCases),
                         [](const auto& info) { return std::string(info.param.name); });

// adb's listing of a refused, offline or absent phone is the bridge's device-list table; facts
// read without a phone leave the record alone in the direct-facts table.
TEST(IsDeviceConnected, CountsOnlyAConnectedPhone) {
    SimulatedPhone phone;
    DeviceBridge bridge = RealToolsBridge(BridgeVariant::Client);
    EXPECT_EQ(bridge.IsDeviceConnected(), 1);
    phone.Unplug();
    EXPECT_EQ(bridge.IsDeviceConnected(), 0);
}

TEST(InstallCompanionApk, ReportsAFailedInstall) {
    SimulatedPhone phone(Scenario{{"installResult", "INSTALL_FAILED_INTERNAL_ERROR"}});
    DeviceBridge bridge = RealToolsBridge(BridgeVariant::Client);
    ApkContents apk;
    apk.packageName = "com.kestrum.player";
    bridge.apkPath = (phone.WorkFolder() / "companion.apk").string();
    BuildApk(apk, bridge.apkPath);
    EXPECT_EQ(bridge.InstallCompanionApk(), 1);
    EXPECT_EQ(phone.Adb({"shell", "pm", "list", "packages", "-3"}).out, "");
}

}  // namespace
}  // namespace tarnel::test
