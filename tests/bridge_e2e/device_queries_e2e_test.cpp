// DeviceBridge's questions about the phone, through the real adb to the simulated phone.

#include <gtest/gtest.h>
#include <thread>

#include "tests/bridge_e2e/bridge_phone.h"
#include "tests/support/phone_fixture.h"

namespace tarnel::test {
namespace {

using namespace std::chrono_literals;

TEST(IsDeviceConnected, SeesAPluggedPhone) {
    SimulatedPhone phone;
    DeviceBridge bridge = RealToolsBridge(BridgeVariant::Installer);
    EXPECT_EQ(bridge.IsDeviceConnected(), 1);
}

TEST(IsDeviceConnected, SeesNoPhoneWhenNoneIsPlugged) {
    SimulatedPhone phone(Scenario::object(), PhonePresence::Unplugged);
    DeviceBridge bridge = RealToolsBridge(BridgeVariant::Client);
    EXPECT_EQ(bridge.IsDeviceConnected(), 0);
}

TEST(IsDeviceConnected, DoesNotCountAPhoneThatRefusedTheHandshake) {
    SimulatedPhone phone(Scenario{{"refuseHandshake", true}});
    DeviceBridge bridge = RealToolsBridge(BridgeVariant::Client);
    EXPECT_EQ(bridge.IsDeviceConnected(), 0);
}

TEST(IsDeviceConnected, DoesNotCountAPhoneWhoseCableWasPulled) {
    SimulatedPhone phone(Scenario{{"dropAfterBytes", 10}});
    phone.Adb({"shell", "getprop"});
    ASSERT_TRUE(phone.WaitForState("offline"));
    DeviceBridge bridge = RealToolsBridge(BridgeVariant::Client);
    EXPECT_EQ(bridge.IsDeviceConnected(), 0);
}

struct InstalledCase {
    const char* name;
    Scenario packages;
    int result;     // IsCompanionInstalled's own (inverted) answer
    int installed;  // companionInstalled
};

const InstalledCase kInstalledCases[] = {
    {"NotInstalled", Scenario::object(), 1, 0},
    {"OnlyTheDebugBuild", {{"com.kestrum.player.debug", "9.0"}}, 1, 0},
    {"OnlyNamesAroundIt", {{"com.kestrum.player2", "9.0"}, {"xcom.kestrum.player", "9.0"}}, 1, 0},
    {"DebugBuildAndTheRealOne",
     {{"com.kestrum.player.debug", "9.0"}, {"com.kestrum.player", "2.2.0"}},
     0,
     1},
    {"TheRealOne", {{"com.kestrum.player", "1.0"}}, 0, 1},
};

void PrintTo(const InstalledCase& row, std::ostream* out) {
    *out << row.name;
}

class IsCompanionInstalled : public ::testing::TestWithParam<InstalledCase> {};

TEST_P(IsCompanionInstalled, FindsOnlyTheCompanionItself) {
    SimulatedPhone phone(Scenario{{"packages", GetParam().packages}});
    DeviceBridge bridge = RealToolsBridge(BridgeVariant::Client);
    EXPECT_EQ(bridge.IsCompanionInstalled(), GetParam().result);
    EXPECT_EQ(bridge.companionInstalled, GetParam().installed);
}

INSTANTIATE_TEST_SUITE_P(Phones, IsCompanionInstalled, ::testing::ValuesIn(kInstalledCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct VersionCase {
    const char* name;
    const char* installed;  // nullptr: not installed
    bool current;
};

// Versions compare as numbers, so 2.10.0 is newer than 2.2.0.
const VersionCase kVersionCases[] = {
    {"Exactly220", "2.2.0", true},   {"Newer221", "2.2.1", true}, {"Major3", "3.0", true},
    {"TwoPointTen", "2.10.0", true}, {"Ten", "10.0.0", true},     {"Older219", "2.1.9", false},
    {"Missing", nullptr, false},
};

void PrintTo(const VersionCase& row, std::ostream* out) {
    *out << row.name;
}

class IsCompanionCurrent : public ::testing::TestWithParam<VersionCase> {};

TEST_P(IsCompanionCurrent, ComparesTheInstalledVersionWith220) {
    Scenario packages = Scenario::object();
    if (GetParam().installed != nullptr) {
        packages["com.kestrum.player"] = GetParam().installed;
    }
    SimulatedPhone phone(Scenario{{"packages", packages}});
    DeviceBridge bridge = RealToolsBridge(BridgeVariant::Client);
    EXPECT_EQ(bridge.IsCompanionCurrent(), GetParam().current);
}

INSTANTIATE_TEST_SUITE_P(Versions, IsCompanionCurrent, ::testing::ValuesIn(kVersionCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The connection wizard's loop: start the companion, then read its facts every 2 s, six times
// at most. A companion that needs 7 s is read on the fourth try.
TEST(StartCompanionAndReadDeviceInfo, GetTheFactsOnTheFourthReadWhenTheyTakeSevenSeconds) {
    SimulatedPhone phone(Scenario{{"packages", {{"com.kestrum.player", "2.2.0"}}},
                                  {"companionDelayMs", 7000},
                                  {"model", "MI 8"},
                                  {"brand", "Xiaomi"},
                                  {"release", "9"},
                                  {"root", true},
                                  {"dataTotal", 8375186227},
                                  {"dataFree", 1610612736},
                                  {"sdcard", false}});
    DeviceBridge bridge = RealToolsBridge(BridgeVariant::Client);
    bridge.StartCompanion();
    int reads = 0;
    int result = 0;
    while (result == 0 && reads < 6) {
        std::this_thread::sleep_for(2s);
        result = bridge.ReadDeviceInfo();
        ++reads;
    }
    EXPECT_EQ(result, 1);
    EXPECT_EQ(reads, 4);
    const DeviceInfo& info = bridge.deviceInfo;
    EXPECT_EQ(info.model, "MI 8");
    EXPECT_EQ(info.deviceType, "MI 8");
    EXPECT_EQ(info.deviceName, "Xiaomi");
    EXPECT_EQ(info.androidRelease, "android 9");
    EXPECT_EQ(info.deviceDisplay, "1080x2248");
    EXPECT_EQ(info.deviceRoot, 1);
    EXPECT_EQ(info.deviceCPUType, "arm64-v8a");
    EXPECT_EQ(info.deviceCPUCount, "8");
    EXPECT_DOUBLE_EQ(info.dataSizeTotal, 8375186227.0);
    EXPECT_DOUBLE_EQ(info.dataSizeFree, 1610612736.0);
    EXPECT_DOUBLE_EQ(info.sdcardSizeTotal, 0.0);
    EXPECT_DOUBLE_EQ(info.ramSizeTotal, 6000000000.0);
    EXPECT_DOUBLE_EQ(info.ramSizeFree, 2500000000.0);
}

TEST(ReadDeviceInfo, KeepsThePreviousFactsWhenTheFileIsMissing) {
    SimulatedPhone phone;
    DeviceBridge bridge = RealToolsBridge(BridgeVariant::Client);
    bridge.deviceInfo.model = "earlier phone";
    EXPECT_EQ(bridge.ReadDeviceInfo(), 0);
    EXPECT_EQ(bridge.deviceInfo.model, "earlier phone");
}

}  // namespace
}  // namespace tarnel::test
