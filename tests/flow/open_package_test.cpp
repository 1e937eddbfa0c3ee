// The flow at the window's level, without a phone: opening packages, the install button.
#include <gtest/gtest.h>

#include <fstream>

#include "installer/flow/install_flow.h"
#include "installer/package/game_package_writer.h"
#include "platform/tool_locator.h"
#include "tests/apk/apk_builder.h"
#include "tests/flow/recording_view.h"
#include "tests/package/test_folder.h"

namespace tarnel {
namespace {

class OpenPackageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder = test::FreshTestFolder("flow");
        ::setenv("XDG_CACHE_HOME", (folder / "cache").c_str(), 1);
        state.bridge.aaptPath = FindTool("aapt", "TARNEL_AAPT");
        state.bridge.adbPath = "/nonexistent/adb";  // no phone
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    void Open(const std::filesystem::path& path) {
        flow.OpenPackage(path.string());
        view.RunUntil([&] { return state.loading == 0; });
    }

    std::filesystem::path folder;
    test::RecordingView view;
    InstallerState state;
    InstallFlow flow{view, state};
};

TEST_F(OpenPackageTest, AnApkShowsItsFactsAndIcon) {
    test::ApkContents apk;
    apk.label = "星落传说";
    apk.iconDensities = {"hdpi", "xhdpi"};
    test::BuildApk(apk, folder / "game.apk");
    Open(folder / "game.apk");
    ASSERT_EQ(state.packageLoaded, 1);
    EXPECT_EQ(state.isTpk, 0);
    EXPECT_EQ(state.bridge.appLabel, "星落传说");
    ASSERT_FALSE(state.iconTempPath.empty());
    EXPECT_TRUE(std::filesystem::exists(state.iconTempPath));
    EXPECT_EQ(view.effects, (std::vector<std::string>{"install button: off", "permissions: on",
                                                      "icon: " + state.iconTempPath,
                                                      "facts: 星落传说", "install button: on"}));
}

TEST_F(OpenPackageTest, ABrokenApkIsToldAndTheButtonComesBack) {
    std::ofstream(folder / "broken.apk") << "no zip";
    Open(folder / "broken.apk");
    EXPECT_EQ(view.effects, (std::vector<std::string>{"install button: off", "box: 解释包有误",
                                                      "facts: ", "install button: on"}));
}

TEST_F(OpenPackageTest, GamePackagesInAnyCaseTakeThePackageRoute) {
    for (const char* name : {"a.TPK", "b.Tpk", "c.tpk"}) {
        GamePackage package;
        package.manifest.appName = "游戏";
        ASSERT_TRUE(WriteGamePackage(folder / name, package));
        view.effects.clear();
        Open(folder / name);
        EXPECT_EQ(state.isTpk, 1) << name;
        EXPECT_EQ(state.bridge.appLabel, "游戏") << name;
        EXPECT_TRUE(view.Has("permissions: off")) << name;
        EXPECT_TRUE(view.Has("icon: ")) << name;  // no icon.png: the old icon goes
        view.RunUntil([&] { return view.Has("permissions: on"); });
    }
}

// Its installation is refused as tarnelInstall --no-gui's is (installer_cli).
TEST_F(OpenPackageTest, APackageWhoseApkIsAnotherGameIsSaidOnOpening) {
    test::BuildApk({.packageName = "com.example.hidden"}, folder / "hidden.apk");
    GamePackage package;
    package.apk = test::ReadFile(folder / "hidden.apk");
    ASSERT_TRUE(WriteGamePackage(folder / "game.tpk", package));
    Open(folder / "game.tpk");
    view.RunUntil([&] { return view.Has("permissions: on"); });
    EXPECT_TRUE(view.Has("box: 安装包内的APK与包说明的包名不符，无法安装。"));
}

TEST_F(OpenPackageTest, InstallWithoutAPhoneSaysSo) {
    flow.PressInstallButton();
    // The phone is looked for on a worker; the window waits with the button off.
    EXPECT_EQ(state.busy, 1);
    view.RunUntil([&] { return state.busy == 0; });
    EXPECT_EQ(view.effects,
              (std::vector<std::string>{"install button: off", "status: 请用数据线将手机连接到电脑",
                                        "box: 手机未连接到电脑", "install button: on"}));
}

TEST_F(OpenPackageTest, AfterASuccessTheButtonAsksFirst) {
    state.readyToInstall = 0;
    view.answer = false;
    flow.PressInstallButton();
    EXPECT_EQ(view.effects, (std::vector<std::string>{"question: 是否重装游戏?"}));
    EXPECT_EQ(state.readyToInstall, 0);
    view.answer = true;
    view.effects.clear();
    flow.PressInstallButton();
    EXPECT_EQ(view.effects[0], "question: 是否重装游戏?");
    EXPECT_EQ(view.effects[1], "button image: install");
    EXPECT_EQ(state.readyToInstall, 1);
}

TEST_F(OpenPackageTest, NoPackageIsOpenedWhileInstalling) {
    state.busy = 1;
    state.openedPath = "/running.tpk";
    flow.OpenPackage((folder / "other.apk").string());
    EXPECT_EQ(view.effects, (std::vector<std::string>{"box: 请等待安装完成..."}));
    EXPECT_EQ(state.openedPath, "/running.tpk");
}

}  // namespace
}  // namespace tarnel
