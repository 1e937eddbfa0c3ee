// Hostile packages are refused alike by --info, --extract, --no-gui and the window's flow, before
// anything reaches the phone.
#include <gtest/gtest.h>

#include "installer/flow/install_flow.h"
#include "installer/flow/load_worker.h"
#include "installer/package/game_package_writer.h"
#include "installer/package/package_info.h"
#include "platform/tool_locator.h"
#include "tests/apk/apk_builder.h"
#include "tests/flow/recording_view.h"
#include "tests/installer_cli/run_install.h"
#include "tests/package/test_folder.h"
#include "tests/support/phone_fixture.h"

namespace tarnel {
namespace {

namespace fs = std::filesystem;

constexpr const char* kGame = "com.example.vega";

using test::ReadFile;

struct HostileCase {
    const char* name;
    const char* extra;    // a data file below android/ added; none: the APK is another game's
    const char* message;  // part of what the user is told
};

// One refusal of the package checks (each is in the package tests' table), and the APK of another
// game, which --info and the window's flow each check for themselves.
const HostileCase kCases[] = {
    {"AnotherGamesObb", "obb/com.other.game/x.obb",
     "不在本游戏自己的文件夹内：android/obb/com.other.game/x.obb"},
    {"ForeignApk", nullptr, "APK与包说明的包名不符"},
};

class HostilePackageTest : public ::testing::TestWithParam<HostileCase> {
  protected:
    void SetUp() override {
        phone = std::make_unique<test::SimulatedPhone>();
        ::setenv("XDG_CACHE_HOME", (phone->WorkFolder() / "cache").c_str(), 1);
        test::ApkContents apk;
        apk.packageName = GetParam().extra == nullptr ? "com.example.hidden" : kGame;
        apk.permissions = {"android.permission.READ_SMS"};
        test::BuildApk(apk, phone->WorkFolder() / "vega.apk");
        package = phone->WorkFolder() / "vega.tpk";
        GamePackage game;
        game.manifest.packageName = kGame;
        game.apk = ReadFile(phone->WorkFolder() / "vega.apk");
        game.dataFiles = {{std::string("obb/") + kGame + "/main.obb", "data"}};
        if (GetParam().extra != nullptr)
            game.dataFiles.push_back({GetParam().extra, "x"});
        ASSERT_TRUE(WriteGamePackage(package, game));
    }

    bool NothingOnThePhone() const {
        return !fs::exists(phone->HostPath(std::string("/sdcard/Android/obb/") + kGame)) &&
               phone->Adb({"shell", "pm", "list", "package"}).out.find("example") ==
                   std::string::npos;
    }
    bool NoUnpackFolderLeft() const {
        for (const auto& entry : fs::directory_iterator(phone->WorkFolder())) {
            if (entry.path().filename().string().starts_with("~"))
                return false;
        }
        return true;
    }

    std::unique_ptr<test::SimulatedPhone> phone;
    fs::path package;
};

TEST_P(HostilePackageTest, IsRefusedByEveryRoute) {
    const HostileCase& c = GetParam();
    const RunResult info = test::RunInstall({"--info", package.string()});
    EXPECT_EQ(info.exitStatus, 2) << info.output;
    EXPECT_NE(info.output.find(c.message), std::string::npos) << info.output;
    EXPECT_EQ(info.output.find("读取短信"), std::string::npos) << info.output;

    // --extract unpacks without aapt, so it cannot see a foreign APK.
    if (c.extra != nullptr) {
        const RunResult extract = test::RunInstall({"--extract", package.string()});
        EXPECT_EQ(extract.exitStatus, 1) << extract.output;
        EXPECT_NE(extract.output.find(c.message), std::string::npos) << extract.output;
        EXPECT_TRUE(NoUnpackFolderLeft());
    }

    const RunResult headless = test::RunInstall({"--no-gui", package.string()});
    EXPECT_EQ(headless.exitStatus, 1) << headless.output;
    EXPECT_NE(headless.output.find(c.message), std::string::npos) << headless.output;

    // The window: told when the package is opened, and refused again at the install button.
    test::RecordingView view;
    InstallerState state;
    state.bridge.adbPath = FindTool("adb", "TARNEL_ADB");
    state.bridge.aaptPath = FindTool("aapt", "TARNEL_AAPT");
    {
        InstallFlow flow(view, state);
        flow.OpenPackage(package.string());
        // The facts, and for a package that loads, its permissions too.
        view.RunUntil([&] {
            return state.loading == 0 && (state.loadSucceeded == 0 || view.Has("permissions: on"));
        });
        flow.PressInstallButton();
        view.RunUntil([&] { return state.busy == 0; });
    }
    int told = 0;
    for (const std::string& effect : view.effects)
        told += effect.find(c.message) != std::string::npos ? 1 : 0;
    EXPECT_GE(told, 2) << ::testing::PrintToString(view.effects);
    EXPECT_EQ(state.lastInstall, InstallOutcome::Failed);
    EXPECT_TRUE(NoUnpackFolderLeft());
    EXPECT_TRUE(NothingOnThePhone());
}

INSTANTIATE_TEST_SUITE_P(Packages, HostilePackageTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A small package must not fill the cache: the APK copy stops at apkSize, the icon at a sane size.
// A cache that cannot be written is said, not shown as an empty permission list.
TEST(HostileCopies, AreCappedAndAnUnwritableCacheIsSaid) {
    const fs::path folder = test::FreshTestFolder("copies");
    ::setenv("XDG_CACHE_HOME", (folder / "cache").c_str(), 1);
    test::BuildApk(test::ApkContents{.packageName = kGame}, folder / "vega.apk");
    GamePackage game;
    game.manifest.packageName = kGame;
    game.manifest.apkSize = "100";
    game.apk = ReadFile(folder / "vega.apk");
    game.icon = std::string(40 << 20, '\0');
    const fs::path package = folder / "vega.tpk";
    ASSERT_TRUE(WriteGamePackage(package, game));
    ASSERT_LT(fs::file_size(package), 1u << 20);

    DeviceBridge bridge(BridgeVariant::Installer);
    bridge.aaptPath = FindTool("aapt", "TARNEL_AAPT");
    bridge.packagePath = package.string();
    test::RecordingView sink;
    const LoadResult loaded = LoadPackageFacts(bridge, (folder / "cache").string(), sink);
    EXPECT_TRUE(loaded.loaded);
    EXPECT_EQ(loaded.iconPath, "");
    DeviceBridge facts = loaded.facts;
    EXPECT_EQ(ReadPackagePermissions(facts), kPermissionsUnreadable);
    EXPECT_EQ(facts.apkPath, "");

    ::setenv("XDG_CACHE_HOME", "/proc/no-cache-here", 1);
    EXPECT_EQ(ReadPackagePermissions(facts), kPermissionsNoWorkFolder);
    const RunResult info = test::RunInstall({"--info", package.string()});
    EXPECT_EQ(info.exitStatus, 2) << info.output;
    EXPECT_NE(info.output.find("无法写入缓存文件夹：/proc/no-cache-here"), std::string::npos)
        << info.output;
    ::unsetenv("XDG_CACHE_HOME");
    fs::remove_all(folder);
}

}  // namespace
}  // namespace tarnel
