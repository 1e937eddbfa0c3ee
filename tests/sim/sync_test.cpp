// Push through the real adb, with both feature sets (STA2/LIS2 or STAT/LIST): where the phone
// writes and where it refuses to. Game data pushed into the phone's own Android folder is the
// bridge's PushObbData (bridge_e2e), large files go both ways in the installs and screenshots.

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

// A full phone and a pulled cable fail the push and keep no part of the file; a pulled cable leaves
// the phone listed, offline, as the installs and IsDeviceConnected (bridge_e2e) count on.
TEST(PhoneFaults, FailThePushAndKeepNothing) {
    for (const bool full : {true, false}) {
        SimulatedPhone phone(full ? Scenario{{"capacity", 4096}}
                                  : Scenario{{"dropAfterBytes", 300000}});
        std::string data(2 << 20, '\0');
        for (size_t i = 0; i < data.size(); ++i)
            data[i] = static_cast<char>(i * 7919 % 251);
        WriteFile(phone.WorkFolder() / "big.obb", data);
        const AdbRun push = phone.Adb(
            {"push", (phone.WorkFolder() / "big.obb").string(), "/sdcard/Android/obb/big.obb"});
        EXPECT_EQ(push.exitStatus, 1);
        EXPECT_THAT(push.out, HasSubstr(full ? "No space left on device" : "failed"));
        EXPECT_TRUE(Eventually(
            [&] { return std::filesystem::is_empty(phone.HostPath("/sdcard/Android/obb")); }));
        if (!full) {
            EXPECT_TRUE(phone.WaitForState("offline"));
            EXPECT_THAT(phone.Adb({"shell", "ls"}).err, HasSubstr("offline"));
        }
    }
}

}  // namespace
}  // namespace tarnel::test
