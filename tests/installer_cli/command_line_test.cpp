// tarnelInstall --info, --extract and --no-gui as a user runs them, through the real program, adb,
// aapt and the simulated phone. Each refusal's rule is tested in the package layer; here each
// reaches the user by every route, with its exit code. The window takes --no-gui's flow, the facts
// of an APK are the bridge's to read.
#include <gtest/gtest.h>

#include "installer/package/game_package_writer.h"
#include "tests/apk/apk_builder.h"
#include "tests/installer_cli/run_install.h"
#include "tests/package/test_folder.h"
#include "tests/support/phone_fixture.h"

namespace tarnel {
namespace {

namespace fs = std::filesystem;

TEST(CommandLine, EachCommandTellsTheUserWithItsExitCode) {
    test::SimulatedPhone phone;
    const fs::path folder = phone.WorkFolder();
    ::setenv("XDG_CACHE_HOME", (folder / "cache").c_str(), 1);
    const std::string game = "com.example.vega";
    // The game's data beside another game's, and an APK that is another game (whose SMS
    // permission must never be shown).
    const auto write = [&](const std::string& name, const std::string& apkPackage,
                           const std::string& extra) {
        test::BuildApk({.packageName = apkPackage, .permissions = {"android.permission.READ_SMS"}},
                       folder / (name + ".apk"));
        GamePackage package;
        package.manifest.packageName = game;
        package.apk = test::ReadFile(folder / (name + ".apk"));
        package.dataFiles = {{"obb/" + game + "/main.obb", "data"}};
        if (!extra.empty())
            package.dataFiles.push_back({extra, "x"});
        EXPECT_TRUE(WriteGamePackage(folder / (name + ".tpk"), package));
        return (folder / (name + ".tpk")).string();
    };
    const std::string outside = write("outside", game, "obb/com.other.game/x.obb");
    const std::string foreign = write("foreign", "com.example.hidden", "");
    test::WriteFile(folder / "bogus.apk", "not a zip");
    const fs::path apk = folder / "with space" / "racer.apk";  // no shell between us and aapt
    fs::create_directories(apk.parent_path());
    test::BuildApk({.label = "星际 Racer"}, apk);
    const std::string outsideText = "不在本游戏自己的文件夹内：android/obb/com.other.game/x.obb";
    const std::string foreignText = "APK与包说明的包名不符";
    const struct {
        std::vector<std::string> arguments;
        int exit;
        std::string text;  // part of the output
        std::vector<std::string> environment = {};
    } cases[] = {
        {{"--info", apk.string()}, 0, "\"appLabel\": \"星际 Racer\""},
        {{"--info"}, 2, "Usage:"},
        {{"--info", (folder / "bogus.apk").string()}, 2, "解释包有误\n"},
        {{"--no-gui", (folder / "game.zip").string()}, 1, "文件格式只能是apk或tpk文件！\n"},
        {{"--info", outside}, 2, outsideText},
        {{"--extract", outside}, 1, outsideText},
        {{"--no-gui", outside}, 1, outsideText},
        // --extract runs no aapt, so it cannot see the APK's own name.
        {{"--info", foreign}, 2, foreignText},
        {{"--no-gui", foreign}, 1, foreignText},
        {{"--info", foreign},
         2,
         "无法写入缓存文件夹：/proc/no-cache-here",
         {"XDG_CACHE_HOME=/proc/no-cache-here"}},
        {{"--no-gui", "--serial", "absent:5555", foreign}, 3, "absent:5555"},
    };
    for (const auto& c : cases) {
        const RunResult result = test::RunInstall(c.arguments, c.environment);
        EXPECT_EQ(result.exitStatus, c.exit) << result.output;
        EXPECT_NE(result.output.find(c.text), std::string::npos) << result.output;
        EXPECT_EQ(result.output.find("读取短信"), std::string::npos) << result.output;
    }
    EXPECT_FALSE(fs::exists(phone.HostPath("/sdcard/Android/obb/" + game)));
    EXPECT_EQ(phone.Adb({"shell", "pm", "list", "package"}).out.find("example"), std::string::npos);
    for (const auto& entry : fs::directory_iterator(folder))
        EXPECT_FALSE(entry.path().filename().string().starts_with("~")) << entry.path();
}

}  // namespace
}  // namespace tarnel
