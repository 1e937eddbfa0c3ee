// DeviceBridge's operations on the phone, through the real adb to the simulated phone.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>
#include <algorithm>
#include <cstdlib>
#include <fstream>

#include "platform/folders.h"
#include "tests/apk/apk_builder.h"
#include "tests/bridge_e2e/bridge_phone.h"
#include "tests/support/phone_fixture.h"

namespace tarnel::test {
namespace {

constexpr const char* kGame = "com.example.game";

void WriteFile(const std::filesystem::path& file, const std::string& content) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << content;
}

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

TEST(InstallCompanionApk, InstallsTheCompanionAndSaysSo) {
    SimulatedPhone phone;
    DeviceBridge bridge = RealToolsBridge(BridgeVariant::Client);
    bridge.apkPath = BuildGameApk(phone, "com.kestrum.player").string();
    EXPECT_EQ(bridge.InstallCompanionApk(), 0);
    EXPECT_EQ(Installed(phone), "package:com.kestrum.player\n");
}

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
    bool validApk;
    const char* code;  // nullptr: success
};

const InstallCase kInstallCases[] = {
    {"Internal", Scenario::object(), 0, true, nullptr},
    {"OnTheSdCard", Scenario::object(), 1, true, nullptr},
    {"OverAnOlderVersion",
     {{"packages", {{kGame, {{"versionName", "0.9"}, {"versionCode", 1}}}}}},
     0,
     true,
     nullptr},
    {"NotAnApk", Scenario::object(), 0, false, "INSTALL_FAILED_INVALID_APK"},
    {"NoRoom", {{"dataFree", 100}}, 0, true, "INSTALL_FAILED_INSUFFICIENT_STORAGE"},
    {"NoSdCard", {{"sdcard", false}}, 1, true, "INSTALL_FAILED_MEDIA_UNAVAILABLE"},
    {"Downgrade",
     {{"packages", {{kGame, {{"versionName", "9.0"}, {"versionCode", 90}}}}}},
     0,
     true,
     "INSTALL_FAILED_VERSION_DOWNGRADE"},
};

void PrintTo(const InstallCase& row, std::ostream* out) {
    *out << row.name;
}

class InstallApk
    : public ::testing::TestWithParam<std::tuple<const char*, const char*, InstallCase>> {};

TEST_P(InstallApk, ReportsSuccessOrTheBareFailureCode) {
    const auto& [features, form, row] = GetParam();
    Scenario scenario = row.phone;
    scenario["features"] = features;
    scenario["installResultForm"] = form;
    SimulatedPhone phone(scenario);
    DeviceBridge bridge = RealToolsBridge(BridgeVariant::Installer);
    if (row.validApk) {
        bridge.apkPath = BuildGameApk(phone, kGame).string();
    } else {
        bridge.apkPath = (phone.WorkFolder() / "broken game.apk").string();
        WriteFile(bridge.apkPath, "not a zip");
    }
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

INSTANTIATE_TEST_SUITE_P(Cases, InstallApk,
                         ::testing::Combine(::testing::Values("modern", "legacy"),
                                            ::testing::Values("modern", "old"),
                                            ::testing::ValuesIn(kInstallCases)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param)) + "Phone_" +
                                    std::get<1>(info.param) + "Form_" +
                                    std::get<2>(info.param).name;
                         });

// A game package unpacked beside itself: "~name/android/obb/<package>/...".
std::filesystem::path UnpackedGameData(const SimulatedPhone& phone, size_t obbSize = 5000) {
    const std::filesystem::path android = phone.WorkFolder() / "~my game" / "android";
    WriteFile(android / "obb" / kGame / "main.3.com.example.game.obb", std::string(obbSize, 'o'));
    WriteFile(android / "data" / kGame / "files" / "level1.dat", "level");
    return android;
}

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

TEST_P(PushObbData, ReportsAFullPhone) {
    SimulatedPhone phone(Scenario{{"features", GetParam()}, {"capacity", 1000}});
    DeviceBridge bridge = RealToolsBridge(BridgeVariant::Installer);
    bridge.obbSourceDir = UnpackedGameData(phone).string();
    EXPECT_EQ(bridge.PushObbData(), 1);
    EXPECT_FALSE(std::filesystem::exists(
        phone.HostPath("/sdcard/Android/obb/com.example.game/main.3.com.example.game.obb")));
}

TEST_P(PushObbData, ReportsAPhoneThatIsGone) {
    SimulatedPhone phone(Scenario{{"features", GetParam()}}, PhonePresence::Unplugged);
    DeviceBridge bridge = RealToolsBridge(BridgeVariant::Installer);
    bridge.obbSourceDir = UnpackedGameData(phone).string();
    EXPECT_EQ(bridge.PushObbData(), 1);
}

TEST_P(PushObbData, ReportsProgressWhileItCopies) {
    SimulatedPhone phone(Scenario{{"features", GetParam()}});
    DeviceBridge bridge = RealToolsBridge(BridgeVariant::Installer);
    bridge.obbSourceDir = UnpackedGameData(phone, 8 * 1024 * 1024).string();
    std::vector<int> percents;
    EXPECT_EQ(bridge.PushObbData([&](int percent) { percents.push_back(percent); }), 0);
    ASSERT_FALSE(percents.empty());
    EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
    EXPECT_EQ(percents.back(), 100);
}

TEST_P(PushObbData, PushedDataCanBeRemovedAgain) {
    SimulatedPhone phone(Scenario{{"features", GetParam()}});
    DeviceBridge bridge = RealToolsBridge(BridgeVariant::Installer);
    bridge.obbSourceDir = UnpackedGameData(phone).string();
    ASSERT_EQ(bridge.PushObbData(), 0);
    bridge.packageName = kGame;
    bridge.RemoveObbData();
    EXPECT_FALSE(std::filesystem::exists(phone.HostPath("/sdcard/Android/obb/com.example.game")));
    EXPECT_TRUE(std::filesystem::is_directory(phone.HostPath("/sdcard/Android/obb")));
}

INSTANTIATE_TEST_SUITE_P(Features, PushObbData, ::testing::Values("modern", "legacy"),
                         [](const auto& info) { return std::string(info.param); });

TEST(RemoveObbData, RemovesNothingForANameThatIsNotAPackage) {
    SimulatedPhone phone;
    WriteFile(phone.HostPath("/sdcard/Android/obb/com.other.game/main.obb"), "keep");
    DeviceBridge bridge = RealToolsBridge(BridgeVariant::Installer);
    for (const char* name : {"", "com.other.game /sdcard", "../..", "com.other.game;ls"}) {
        bridge.packageName = name;
        bridge.RemoveObbData();
        EXPECT_TRUE(
            std::filesystem::exists(phone.HostPath("/sdcard/Android/obb/com.other.game/main.obb")))
            << name;
    }
}

class TakeScreenshot : public ::testing::TestWithParam<const char*> {
  protected:
    void SetUp() override {
        cache_ =
            std::filesystem::temp_directory_path() / ("tarnel-screens-" + std::to_string(getpid()));
        setenv("XDG_CACHE_HOME", cache_.c_str(), 1);
    }
    void TearDown() override { std::filesystem::remove_all(cache_); }

    std::filesystem::path cache_;
};

TEST_P(TakeScreenshot, BringsTheScreenIntoTheWorkFolder) {
    SimulatedPhone phone(Scenario{{"features", GetParam()}});
    DeviceBridge bridge = RealToolsBridge(BridgeVariant::Client);
    EXPECT_TRUE(bridge.TakeScreenshot());
    std::ifstream in(WorkTmpFolder() / "screencap.png", std::ios::binary);
    std::string signature(8, '\0');
    in.read(signature.data(), 8);
    EXPECT_EQ(signature, std::string("\x89PNG\r\n\x1a\n", 8));
}

TEST_P(TakeScreenshot, SaysSoWhenThePhoneHasNoScreenshotToGive) {
    SimulatedPhone phone(Scenario{{"features", GetParam()}, {"screencap", false}});
    DeviceBridge bridge = RealToolsBridge(BridgeVariant::Client);
    EXPECT_FALSE(bridge.TakeScreenshot());
    EXPECT_FALSE(std::filesystem::exists(WorkTmpFolder() / "screencap.png"));
}

INSTANTIATE_TEST_SUITE_P(Features, TakeScreenshot, ::testing::Values("modern", "legacy"),
                         [](const auto& info) { return std::string(info.param); });

}  // namespace
}  // namespace tarnel::test
