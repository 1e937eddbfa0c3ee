// A phone's facts through adb's shell, from the simulated phone's scenario, in the forms each
// Android version prints, and whether a phone is there at all. Whether the companion is installed
// and current is asked in the client's phone preparation (client_e2e).

#include <gtest/gtest.h>

#include "tests/bridge_e2e/bridge_phone.h"
#include "tests/support/phone_fixture.h"

namespace tarnel::test {
namespace {

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

// adb's listing of a refused, offline or absent phone is the bridge's device-list table.
TEST(UnpluggedPhone, IsNotCountedAndLeavesTheRecordAlone) {
    SimulatedPhone phone;
    DeviceBridge bridge = RealToolsBridge(BridgeVariant::Client);
    EXPECT_EQ(bridge.IsDeviceConnected(), 1);
    phone.Unplug();
    EXPECT_EQ(bridge.IsDeviceConnected(), 0);
    bridge.deviceInfo.model = "earlier";
    EXPECT_EQ(bridge.ReadDirectFacts(), 0);
    EXPECT_EQ(bridge.deviceInfo.model, "earlier");
}

}  // namespace
}  // namespace tarnel::test
