// tarnelInstall --no-gui as a user runs it, through the real adb and the simulated phone.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <random>

#include "installer/package/game_package_writer.h"
#include "tests/apk/apk_builder.h"
#include "tests/installer_cli/run_install.h"
#include "tests/package/test_folder.h"
#include "tests/support/phone_fixture.h"

extern char** environ;

namespace tarnel {
namespace {

constexpr const char* kGame = "com.example.comet";

using test::ReadFile;

// comet.tpk in folder: the real APK and one data file of random bytes, so that nothing along the
// way can squeeze it.
std::filesystem::path WriteComet(const std::filesystem::path& folder, size_t dataBytes) {
    const auto apk = folder / "comet.apk";
    if (!std::filesystem::exists(apk))
        test::BuildApk({.packageName = kGame}, apk);
    GamePackage package;
    package.manifest.packageName = kGame;
    package.apk = ReadFile(apk);
    std::string data(dataBytes, '\0');
    std::mt19937_64 random(7);
    for (size_t i = 0; i + 8 <= data.size(); i += 8) {
        const std::uint64_t word = random();
        std::memcpy(&data[i], &word, 8);
    }
    package.dataFiles = {{std::string("obb/") + kGame + "/main.obb", std::move(data)}};
    package.options.stored = true;
    const auto path = folder / "comet.tpk";
    EXPECT_TRUE(WriteGamePackage(path, package));
    return path;
}

class HeadlessInstallTest : public ::testing::Test {
  protected:
    void Start(const test::Scenario& scenario = test::Scenario::object(),
               test::PhonePresence presence = test::PhonePresence::Plugged) {
        phone = std::make_unique<test::SimulatedPhone>(scenario, presence);
        ::setenv("XDG_CACHE_HOME", (phone->WorkFolder() / "cache").c_str(), 1);
    }

    std::filesystem::path Package(size_t dataBytes) {
        return WriteComet(phone->WorkFolder(), dataBytes);
    }

    std::unique_ptr<test::SimulatedPhone> phone;
};

TEST_F(HeadlessInstallTest, InstallsAndSaysEachStep) {
    Start();
    RunResult result = test::RunInstall({"--no-gui", Package(1000).string()});
    EXPECT_EQ(result.exitStatus, 0) << result.output;
    EXPECT_EQ(result.output,
              "正在解压缩TPK文件...\n正在上传数据包...\n正在安装软件...\n已安装到手机\n");
    EXPECT_TRUE(std::filesystem::exists(
        phone->HostPath(std::string("/sdcard/Android/obb/") + kGame + "/main.obb")));
}

TEST_F(HeadlessInstallTest, ExitCodesTellNoPhoneFromFailure) {
    Start(test::Scenario::object(), test::PhonePresence::Unplugged);
    RunResult noPhone = test::RunInstall({"--no-gui", Package(10).string()});
    EXPECT_EQ(noPhone.exitStatus, 3);
    EXPECT_EQ(noPhone.output, "请用数据线将手机连接到电脑\n手机未连接到电脑\n");
    RunResult wrongType =
        test::RunInstall({"--no-gui", (phone->WorkFolder() / "game.zip").string()});
    EXPECT_EQ(wrongType.exitStatus, 1);
    EXPECT_EQ(wrongType.output, "文件格式只能是apk或tpk文件！\n");
}

// Ctrl-C, and SIGHUP when the terminal is closed.
TEST_F(HeadlessInstallTest, CtrlCStopsCleanly) {
    Start();
    const auto package = Package(48u << 20);
    for (const int signal : {SIGINT, SIGHUP}) {
        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
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
        EXPECT_FALSE(std::filesystem::exists(phone->WorkFolder() / "~comet"));
        EXPECT_FALSE(
            std::filesystem::exists(phone->HostPath(std::string("/sdcard/Android/obb/") + kGame)));
    }
}

TEST(HeadlessInstallTwoPhones, RefusedWithoutAChoiceAndInstalledOnTheChosenOne) {
    test::SimulatedPhone first(test::Scenario{{"model", "MI 8"}});
    test::SimulatedPhone second(first, test::Scenario{{"model", "Pixel 7"}});
    ::setenv("XDG_CACHE_HOME", (first.WorkFolder() / "cache").c_str(), 1);
    ::unsetenv("ANDROID_SERIAL");
    const auto tpk = WriteComet(first.WorkFolder(), 4);
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
    EXPECT_TRUE(installedOn(second) && !installedOn(first));

    // adb's own variable chooses as --serial does.
    ::setenv("ANDROID_SERIAL", first.Serial().c_str(), 1);
    RunResult fromEnvironment = test::RunInstall({"--no-gui", tpk.string()});
    ::unsetenv("ANDROID_SERIAL");
    EXPECT_EQ(fromEnvironment.exitStatus, 0) << fromEnvironment.output;
    EXPECT_TRUE(installedOn(first));
}

}  // namespace
}  // namespace tarnel
