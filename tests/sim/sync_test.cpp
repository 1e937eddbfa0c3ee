// Push and pull through the real adb, with both feature sets (STA2/LIS2 or STAT/LIST). Game data
// pushed into the phone's own Android folder is the bridge's PushObbData (bridge_e2e), large files
// go both ways in the installs (flow_e2e) and screenshots (client_e2e).

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/package/test_folder.h"
#include "tests/support/phone_fixture.h"

namespace tarnel::test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

class SyncTest : public ::testing::TestWithParam<const char*> {
  protected:
    SyncTest() : phone_(Scenario{{"features", GetParam()}}) {}
    std::filesystem::path Local(const std::string& name) const {
        return phone_.WorkFolder() / name;
    }

    SimulatedPhone phone_;
};

// adb puts a folder inside a target folder that exists: "push X/android /sdcard/android" nests.
TEST_P(SyncTest, PushesAFolderInsideAnExistingTargetFolder) {
    WriteFile(Local("my game/android/obb/com.example.game/main.1.obb"), "obb");
    const AdbRun push = phone_.Adb({"push", Local("my game/android").string(), "/sdcard/android"});
    EXPECT_EQ(push.exitStatus, 0) << push.Both();
    EXPECT_TRUE(std::filesystem::exists(
        phone_.HostPath("/sdcard/Android/android/obb/com.example.game/main.1.obb")));
}

TEST_P(SyncTest, RefusesToWriteWhereTheShellMayNot) {
    WriteFile(Local("evil.apk"), "x");
    const AdbRun push = phone_.Adb({"push", Local("evil.apk").string(), "/data/app/evil.apk"});
    EXPECT_EQ(push.exitStatus, 1);
    EXPECT_THAT(push.out, HasSubstr("remote couldn't create file: Permission denied"));
    EXPECT_FALSE(std::filesystem::exists(phone_.HostPath("/data/app/evil.apk")));
}

TEST_P(SyncTest, StaysInsideThePhoneWhateverThePath) {
    WriteFile(Local("a.txt"), "a");
    const AdbRun push =
        phone_.Adb({"push", Local("a.txt").string(), "/sdcard/../../../../tmp/escaped.txt"});
    EXPECT_THAT(push.Both(), Not(HasSubstr("1 file pushed")));
    EXPECT_FALSE(std::filesystem::exists(phone_.Root().parent_path() / "tmp/escaped.txt"));
    EXPECT_FALSE(std::filesystem::exists("/tmp/escaped.txt"));
}

INSTANTIATE_TEST_SUITE_P(Features, SyncTest, ::testing::Values("modern", "legacy"),
                         [](const auto& info) { return std::string(info.param); });

TEST(FullPhone, RefusesAPushBeyondItsCapacityAndKeepsNothingOfIt) {
    SimulatedPhone phone(Scenario{{"capacity", 4096}});
    WriteFile(phone.WorkFolder() / "big.obb", std::string(10000, 'p'));
    const AdbRun push =
        phone.Adb({"push", (phone.WorkFolder() / "big.obb").string(), "/sdcard/big.obb"});
    EXPECT_EQ(push.exitStatus, 1);
    EXPECT_THAT(push.out, HasSubstr("failed"));
    EXPECT_THAT(push.out, HasSubstr("No space left on device"));
    EXPECT_FALSE(std::filesystem::exists(phone.HostPath("/sdcard/big.obb")));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(phone.HostPath("/sdcard")), {}), 3)
        << "only Android, DCIM and Download";
    // What the failed push had taken is free again.
    WriteFile(phone.WorkFolder() / "small.obb", std::string(4000, 'p'));
    EXPECT_EQ(
        phone.Adb({"push", (phone.WorkFolder() / "small.obb").string(), "/sdcard/"}).exitStatus, 0);
}

TEST(FullPhone, FreesTheSpaceOfRemovedFiles) {
    SimulatedPhone phone(Scenario{{"capacity", 6000}});
    WriteFile(phone.WorkFolder() / "game/obb/main.obb", std::string(5000, 'p'));
    const std::string folder = (phone.WorkFolder() / "game").string();
    ASSERT_EQ(phone.Adb({"push", folder, "/sdcard/Android/"}).exitStatus, 0);
    EXPECT_EQ(phone.Adb({"push", folder, "/sdcard/Download/"}).exitStatus, 1);
    ASSERT_EQ(phone.Adb({"shell", "rm", "-r", "/sdcard/android/game"}).exitStatus, 0);
    EXPECT_EQ(phone.Adb({"push", folder, "/sdcard/Download/"}).exitStatus, 0);
}

}  // namespace
}  // namespace tarnel::test
