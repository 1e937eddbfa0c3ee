// adb install through the real adb, streamed (exec/abb_exec) with the modern
// feature set and pushed then "pm install" with none: what the phone keeps and leaves behind.
// pm's answers to each kind of install are read through the bridge (bridge_e2e).

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <fstream>

#include "tests/apk/apk_builder.h"
#include "tests/support/phone_fixture.h"

namespace tarnel::test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

constexpr const char* kPackage = "com.example.game";

std::filesystem::path MakeApk(const SimulatedPhone& phone) {
    const std::filesystem::path apk = phone.WorkFolder() / "my game.apk";
    ApkContents contents;
    contents.packageName = kPackage;
    contents.versionCode = 3;
    contents.versionName = "1.2.3";
    BuildApk(contents, apk);
    return apk;
}

class InstallCleanupTest : public ::testing::TestWithParam<const char*> {};

TEST_P(InstallCleanupTest, LeavesNoStagingFilesBehind) {
    SimulatedPhone phone(Scenario{{"features", GetParam()}});
    ASSERT_EQ(phone.Adb({"install", "-r", MakeApk(phone).string()}).exitStatus, 0);
    EXPECT_TRUE(std::filesystem::is_empty(phone.HostPath("/data/local/tmp")));
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(phone.HostPath("/data/app"))) {
        left.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(left, std::vector<std::string>{std::string(kPackage) + "-1"});
    EXPECT_TRUE(std::filesystem::is_regular_file(
        phone.HostPath("/data/app/" + std::string(kPackage) + "-1/base.apk")));
}

INSTANTIATE_TEST_SUITE_P(Features, InstallCleanupTest, ::testing::Values("modern", "legacy"),
                         [](const auto& info) { return std::string(info.param); });

TEST(InstallOverAPulledCable, FailsAndInstallsNothing) {
    SimulatedPhone phone(Scenario{{"dropAfterBytes", 1000}});
    ApkContents contents;
    contents.packageName = kPackage;
    const std::filesystem::path apk = phone.WorkFolder() / "big.apk";
    BuildApk(contents, apk);
    ASSERT_GT(std::filesystem::file_size(apk), 1000u);
    const AdbRun install = phone.Adb({"install", "-r", apk.string()});
    EXPECT_NE(install.exitStatus, 0);
    EXPECT_THAT(install.Both(), Not(HasSubstr("Success")));
    EXPECT_TRUE(phone.WaitForState("offline"));
    EXPECT_TRUE(Eventually([&] { return std::filesystem::is_empty(phone.HostPath("/data/app")); }));
}

}  // namespace
}  // namespace tarnel::test
