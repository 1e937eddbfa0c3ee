// DeviceBridge's operations on the phone, through the real adb to the simulated phone.

#include <gtest/gtest.h>

#include "tests/apk/apk_builder.h"
#include "tests/bridge_e2e/bridge_phone.h"
#include "tests/package/test_folder.h"
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

struct InstallCase {
    const char* name;
    Scenario phone;
    int toExternal;
    const char* code;  // nullptr: success
};

// Installing to the phone's memory, over an earlier version and to a missing SD card are
// installations in flow_e2e; each failure code's words are the flow's.
const InstallCase kInstallCases[] = {
    {"OnTheSdCard", Scenario::object(), 1, nullptr},
    {"Downgrade",
     {{"packages", {{kGame, {{"versionName", "9.0"}, {"versionCode", 90}}}}}},
     0,
     "INSTALL_FAILED_VERSION_DOWNGRADE"},
};

void PrintTo(const InstallCase& row, std::ostream* out) {
    *out << row.name;
}

class InstallApk : public ::testing::TestWithParam<std::tuple<const char*, InstallCase>> {};

TEST_P(InstallApk, ReportsSuccessOrTheBareFailureCode) {
    const auto& [features, row] = GetParam();
    Scenario scenario = row.phone;
    scenario["features"] = features;
    scenario["installResultForm"] = std::string(features) == "modern" ? "modern" : "old";
    SimulatedPhone phone(scenario);
    DeviceBridge bridge = RealToolsBridge(BridgeVariant::Installer);
    bridge.apkPath = BuildGameApk(phone, kGame).string();
    bridge.installFailure = "from before";
    const int result = bridge.InstallApk(row.toExternal);
    if (row.code == nullptr) {
        EXPECT_EQ(result, 1);
        EXPECT_EQ(bridge.installFailure, "from before");
        EXPECT_EQ(Installed(phone), std::string("package:") + kGame + "\n");
        // Only "-s" puts the app on external storage.
        const std::string codePath = row.toExternal ? "/mnt/asec/" : "/data/app/";
        EXPECT_TRUE(std::filesystem::exists(phone.HostPath(codePath + kGame + "-1/base.apk")));
    } else {
        EXPECT_EQ(result, 0);
        EXPECT_EQ(bridge.installFailure, row.code);
    }
}

// A modern phone streams the APK and words its failures in full; an old one takes a push and
// "pm install" and prints the bare code.
INSTANTIATE_TEST_SUITE_P(Cases, InstallApk,
                         ::testing::Combine(::testing::Values("modern", "legacy"),
                                            ::testing::ValuesIn(kInstallCases)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param)) + "Phone_" +
                                    std::get<1>(info.param).name;
                         });

// A game package unpacked beside itself: "~name/android/obb/<package>/...".
std::filesystem::path UnpackedGameData(const SimulatedPhone& phone) {
    const std::filesystem::path android = phone.WorkFolder() / "~my game" / "android";
    WriteFile(android / "obb" / kGame / "main.3.com.example.game.obb", std::string(5000, 'o'));
    WriteFile(android / "data" / kGame / "files" / "level1.dat", "level");
    return android;
}

// A full phone, and one that goes away mid-push, are installations in flow_e2e.
class PushObbData : public ::testing::TestWithParam<const char*> {};

TEST_P(PushObbData, PutsTheDataIntoTheAndroidFolderThePhoneAlreadyHas) {
    SimulatedPhone phone(Scenario{{"features", GetParam()}});
    DeviceBridge bridge = RealToolsBridge(BridgeVariant::Installer);
    bridge.obbSourceDir = UnpackedGameData(phone).string();
    EXPECT_EQ(bridge.PushObbData(), 0);
    EXPECT_EQ(std::filesystem::file_size(phone.HostPath(
                  "/sdcard/Android/obb/com.example.game/main.3.com.example.game.obb")),
              5000u);
    EXPECT_TRUE(std::filesystem::exists(
        phone.HostPath("/sdcard/Android/data/com.example.game/files/level1.dat")));
    EXPECT_FALSE(std::filesystem::exists(phone.HostPath("/sdcard/android")));
}

INSTANTIATE_TEST_SUITE_P(Features, PushObbData, ::testing::Values("modern", "legacy"),
                         [](const auto& info) { return std::string(info.param); });

}  // namespace
}  // namespace tarnel::test
