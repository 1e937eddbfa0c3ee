// DeviceBridge's questions about the phone, through the real adb to the simulated phone. The
// companion's version, start and facts are asked in the client's phone preparation (client_e2e).

#include <gtest/gtest.h>

#include "tests/bridge_e2e/bridge_phone.h"
#include "tests/support/phone_fixture.h"

namespace tarnel::test {
namespace {

struct ConnectedCase {
    const char* name;
    Scenario scenario;
    PhonePresence presence;
    int connected;
};

void PrintTo(const ConnectedCase& row, std::ostream* out) {
    *out << row.name;
}

const ConnectedCase kConnectedCases[] = {
    {"Plugged", Scenario::object(), PhonePresence::Plugged, 1},
    {"Unplugged", Scenario::object(), PhonePresence::Unplugged, 0},
    {"RefusedTheHandshake", {{"refuseHandshake", true}}, PhonePresence::Plugged, 0},
    // The cable is pulled by the first command: adb keeps the phone listed, offline.
    {"CablePulled", {{"dropAfterBytes", 10}}, PhonePresence::Plugged, 0},
};

class IsDeviceConnected : public ::testing::TestWithParam<ConnectedCase> {};

TEST_P(IsDeviceConnected, CountsOnlyAReadyPhone) {
    SimulatedPhone phone(GetParam().scenario, GetParam().presence);
    if (GetParam().scenario.contains("dropAfterBytes")) {
        phone.Adb({"shell", "getprop"});
        ASSERT_TRUE(phone.WaitForState("offline"));
    }
    DeviceBridge bridge = RealToolsBridge(BridgeVariant::Client);
    EXPECT_EQ(bridge.IsDeviceConnected(), GetParam().connected);
}

INSTANTIATE_TEST_SUITE_P(Phones, IsDeviceConnected, ::testing::ValuesIn(kConnectedCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct InstalledCase {
    const char* name;
    Scenario packages;
    int result;     // IsCompanionInstalled's own (inverted) answer
    int installed;  // companionInstalled
};

const InstalledCase kInstalledCases[] = {
    {"OnlyNamesAroundIt",
     {{"com.kestrum.player.debug", "9.0"},
      {"com.kestrum.player2", "9.0"},
      {"xcom.kestrum.player", "9.0"}},
     1,
     0},
    {"DebugBuildAndTheRealOne",
     {{"com.kestrum.player.debug", "9.0"}, {"com.kestrum.player", "2.2.0"}},
     0,
     1},
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

}  // namespace
}  // namespace tarnel::test
