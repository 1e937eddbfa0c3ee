// tarnelInstall --no-gui as a user runs it, through the real adb and the simulated phone.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <random>

#include "installer/package/game_package_writer.h"
#include "tests/apk/apk_builder.h"
#include "tests/installer_cli/run_install.h"
#include "tests/package/test_folder.h"
#include "tests/support/phone_fixture.h"

extern char** environ;

namespace tarnel {
namespace {

namespace fs = std::filesystem;

constexpr const char* kGame = "com.example.comet";

// comet.tpk in folder: the real APK and one data file of random bytes, so that nothing along the
// way can squeeze it.
fs::path WriteComet(const fs::path& folder, size_t dataBytes) {
    test::BuildApk({.packageName = kGame}, folder / "comet.apk");
    GamePackage package;
    package.manifest.packageName = kGame;
    package.apk = test::ReadFile(folder / "comet.apk");
    std::string data(dataBytes, '\0');
    std::independent_bits_engine<std::mt19937, CHAR_BIT, unsigned> random(7);
    std::generate(data.begin(), data.end(), [&] { return static_cast<char>(random()); });
    package.dataFiles = {{std::string("obb/") + kGame + "/main.obb", std::move(data)}};
    package.options.stored = true;
    EXPECT_TRUE(WriteGamePackage(folder / "comet.tpk", package));
    return folder / "comet.tpk";
}

// Several phones need a choice (--serial, or adb's own ANDROID_SERIAL); the chosen one is
// installed, each step said.
TEST(HeadlessInstall, SeveralPhonesAreListedAndTheChosenOneInstalled) {
    test::SimulatedPhone first(test::Scenario{{"model", "MI 8"}});
    test::SimulatedPhone second(first, test::Scenario{{"model", "Pixel 7"}});
    ::setenv("XDG_CACHE_HOME", (first.WorkFolder() / "cache").c_str(), 1);
    ::unsetenv("ANDROID_SERIAL");
    const auto tpk = WriteComet(first.WorkFolder(), 1000);
    const auto installedOn = [&](const test::SimulatedPhone& phone) {
        return phone.Adb({"shell", "pm", "list", "package"}).out.find(kGame) != std::string::npos;
    };

    RunResult refused = test::RunInstall({"--no-gui", tpk.string()});
    EXPECT_EQ(refused.exitStatus, 2) << refused.output;
    EXPECT_NE(refused.output.find("--serial"), std::string::npos) << refused.output;
    EXPECT_NE(refused.output.find("  " + first.Serial() + "  MI_8\n"), std::string::npos);
    EXPECT_NE(refused.output.find("  " + second.Serial() + "  Pixel_7\n"), std::string::npos);
    EXPECT_FALSE(installedOn(first) || installedOn(second));

    RunResult chosen = test::RunInstall({"--no-gui", "--serial", second.Serial(), tpk.string()});
    EXPECT_EQ(chosen.exitStatus, 0) << chosen.output;
    EXPECT_EQ(chosen.output,
              "正在解压缩TPK文件...\n正在上传数据包...\n正在安装软件...\n已安装到手机\n");
    EXPECT_TRUE(
        fs::exists(second.HostPath(std::string("/sdcard/Android/obb/") + kGame + "/main.obb")));
    EXPECT_TRUE(installedOn(second) && !installedOn(first));

    RunResult fromEnvironment =
        test::RunInstall({"--no-gui", tpk.string()}, {"ANDROID_SERIAL=" + first.Serial()});
    EXPECT_EQ(fromEnvironment.exitStatus, 0) << fromEnvironment.output;
    EXPECT_TRUE(installedOn(first));
}

// Ctrl-C, and SIGHUP when the terminal is closed.
TEST(HeadlessInstall, CtrlCStopsCleanly) {
    test::SimulatedPhone phone;
    ::setenv("XDG_CACHE_HOME", (phone.WorkFolder() / "cache").c_str(), 1);
    const auto package = WriteComet(phone.WorkFolder(), 48u << 20);
    for (const int signal : {SIGINT, SIGHUP}) {
        int fds[2];
        // Neither end left open in the program or the tools it starts, or the read never ends.
        ASSERT_EQ(::pipe2(fds, O_CLOEXEC), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
        std::string program = TARNEL_INSTALL, mode = "--no-gui", path = package.string();
        char* argv[] = {program.data(), mode.data(), path.data(), nullptr};
        pid_t pid = 0;
        ASSERT_EQ(::posix_spawn(&pid, argv[0], &actions, nullptr, argv, environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        std::string output;
        char buffer[256];
        ssize_t n;
        bool interrupted = false;
        while ((n = ::read(fds[0], buffer, sizeof buffer)) > 0) {
            output.append(buffer, n);
            if (!interrupted && output.find("正在上传数据包...") != std::string::npos) {
                ::kill(pid, signal);
                interrupted = true;
            }
        }
        ::close(fds[0]);
        int status = 0;
        ::waitpid(pid, &status, 0);
        ASSERT_TRUE(interrupted) << output;
        EXPECT_EQ(WEXITSTATUS(status), 1) << output;
        EXPECT_EQ(output.find("已安装到手机"), std::string::npos) << output;
        EXPECT_FALSE(fs::exists(phone.WorkFolder() / "~comet"));
        EXPECT_FALSE(fs::exists(phone.HostPath(std::string("/sdcard/Android/obb/") + kGame)));
    }
}

}  // namespace
}  // namespace tarnel
