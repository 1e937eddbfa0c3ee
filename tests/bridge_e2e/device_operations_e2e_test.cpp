// DeviceBridge's operations on the phone, through the real adb to the simulated phone.

#include <gtest/gtest.h>

#include "tests/apk/apk_builder.h"
#include "tests/bridge_e2e/bridge_phone.h"
#include "tests/support/phone_fixture.h"

namespace tarnel::test {
namespace {

constexpr const char* kGame = "com.example.game";

std::string Installed(const SimulatedPhone& phone) {
    return phone.Adb({"shell", "pm", "list", "packages", "-3"}).out;
}

std::filesystem::path BuildGameApk(const SimulatedPhone& phone, const std::string& package) {
    ApkContents apk;
    apk.packageName = package;
    apk.versionCode = 3;
    const std::filesystem::path file = phone.WorkFolder() / "my game.apk";
    BuildApk(apk, file);
    return file;
}

// A companion that installs is the client's phone preparation (client_e2e).
TEST(InstallCompanionApk, ReportsAFailedInstall) {
    SimulatedPhone phone(Scenario{{"installResult", "INSTALL_FAILED_INTERNAL_ERROR"}});
    DeviceBridge bridge = RealToolsBridge(BridgeVariant::Client);
    bridge.apkPath = BuildGameApk(phone, "com.kestrum.player").string();
    EXPECT_EQ(bridge.InstallCompanionApk(), 1);
    EXPECT_EQ(Installed(phone), "");
}

// Failure codes in both of adb's forms, the memory chosen and a missing SD card are installations
// in flow_e2e; here where "-s" puts the app, over both of adb's install routes.
class InstallApk : public ::testing::TestWithParam<const char*> {};

TEST_P(InstallApk, PutsTheAppOnTheSdCard) {
    SimulatedPhone phone(Scenario{{"features", GetParam()}});
    DeviceBridge bridge = RealToolsBridge(BridgeVariant::Installer);
    bridge.apkPath = BuildGameApk(phone, kGame).string();
    bridge.installFailure = "from before";
    EXPECT_EQ(bridge.InstallApk(1), 1);
    EXPECT_EQ(bridge.installFailure, "from before");
    EXPECT_EQ(Installed(phone), std::string("package:") + kGame + "\n");
    EXPECT_TRUE(
        std::filesystem::exists(phone.HostPath(std::string("/mnt/asec/") + kGame + "-1/base.apk")));
}

// A modern phone streams the APK; an old one takes a push and "pm install". Game data pushed to
// the phone is every game package installed in flow_e2e.
INSTANTIATE_TEST_SUITE_P(Features, InstallApk, ::testing::Values("modern", "legacy"),
                         [](const auto& info) { return std::string(info.param); });

}  // namespace
}  // namespace tarnel::test
