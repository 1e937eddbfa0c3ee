// Push and pull through the real adb, with both feature sets (STA2/LIS2 or STAT/LIST).

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <fstream>

#include "tests/support/phone_fixture.h"

namespace tarnel::test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

void WriteFile(const std::filesystem::path& file, const std::string& content) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << content;
}

std::string ReadFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Pattern(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>((i * 2654435761u) >> 13);
    }
    return bytes;
}

class SyncTest : public ::testing::TestWithParam<const char*> {
  protected:
    SyncTest() : phone_(Scenario{{"features", GetParam()}}) {}
    bool Modern() const { return std::string(GetParam()) == "modern"; }
    std::filesystem::path Local(const std::string& name) const {
        return phone_.WorkFolder() / name;
    }

    SimulatedPhone phone_;
};

TEST_P(SyncTest, PushesAFileIntoAFolder) {
    WriteFile(Local("notes.txt"), "hello phone\n");
    const AdbRun push = phone_.Adb({"push", Local("notes.txt").string(), "/sdcard/Download"});
    EXPECT_EQ(push.exitStatus, 0) << push.Both();
    EXPECT_THAT(push.out, HasSubstr("1 file pushed"));
    EXPECT_EQ(ReadFile(phone_.HostPath("/sdcard/Download/notes.txt")), "hello phone\n");
}

TEST_P(SyncTest, PushesAndPullsBackALargeFileUnchanged) {
    const std::string content = Pattern(1536 * 1024 + 17);
    WriteFile(Local("data.bin"), content);
    ASSERT_EQ(phone_.Adb({"push", Local("data.bin").string(), "/sdcard/data.bin"}).exitStatus, 0);
    EXPECT_EQ(ReadFile(phone_.HostPath("/sdcard/data.bin")), content);
    const AdbRun pull = phone_.Adb({"pull", "/sdcard/data.bin", Local("back.bin").string()});
    EXPECT_EQ(pull.exitStatus, 0) << pull.Both();
    EXPECT_THAT(pull.out, HasSubstr("1 file pulled"));
    EXPECT_EQ(ReadFile(Local("back.bin")), content);
}

// Shared storage ignores case, so game data pushed as "android" joins the phone's "Android".
TEST_P(SyncTest, PushesAGameDataFolderIntoTheExistingAndroidFolder) {
    WriteFile(Local("unpack/android/obb/com.example.game/main.1.obb"), "obb data");
    WriteFile(Local("unpack/android/data/com.example.game/files/save.dat"), "save");
    const AdbRun push = phone_.Adb({"push", Local("unpack/android").string(), "/sdcard/"});
    EXPECT_EQ(push.exitStatus, 0) << push.Both();
    EXPECT_THAT(push.out, HasSubstr("2 files pushed"));
    EXPECT_EQ(ReadFile(phone_.HostPath("/sdcard/Android/obb/com.example.game/main.1.obb")),
              "obb data");
    EXPECT_EQ(ReadFile(phone_.HostPath("/sdcard/Android/data/com.example.game/files/save.dat")),
              "save");
    EXPECT_FALSE(std::filesystem::exists(phone_.HostPath("/sdcard/android")));
}

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

TEST_P(SyncTest, NamesAMissingRemoteFileTheWayItsAdbDoes) {
    const AdbRun pull = phone_.Adb({"pull", "/sdcard/screencap.png", phone_.WorkFolder().string()});
    EXPECT_EQ(pull.exitStatus, 1);
    EXPECT_THAT(pull.out, HasSubstr(Modern() ? "adb: error: failed to stat remote object "
                                               "'/sdcard/screencap.png': No such file or directory"
                                             : "adb: error: remote object "
                                               "'/sdcard/screencap.png' does not exist"));
}

TEST_P(SyncTest, PullsAFolderTree) {
    WriteFile(phone_.HostPath("/sdcard/DCIM/Camera/a.jpg"), "a");
    WriteFile(phone_.HostPath("/sdcard/DCIM/b.jpg"), "bb");
    const AdbRun pull = phone_.Adb({"pull", "/sdcard/DCIM", Local("photos").string()});
    EXPECT_EQ(pull.exitStatus, 0) << pull.Both();
    EXPECT_EQ(ReadFile(Local("photos/Camera/a.jpg")), "a");
    EXPECT_EQ(ReadFile(Local("photos/b.jpg")), "bb");
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
    WriteFile(phone.WorkFolder() / "big.obb", Pattern(10000));
    const AdbRun push =
        phone.Adb({"push", (phone.WorkFolder() / "big.obb").string(), "/sdcard/big.obb"});
    EXPECT_EQ(push.exitStatus, 1);
    EXPECT_THAT(push.out, HasSubstr("failed"));
    EXPECT_THAT(push.out, HasSubstr("No space left on device"));
    EXPECT_FALSE(std::filesystem::exists(phone.HostPath("/sdcard/big.obb")));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(phone.HostPath("/sdcard")), {}), 3)
        << "only Android, DCIM and Download";
    // What the failed push had taken is free again.
    WriteFile(phone.WorkFolder() / "small.obb", Pattern(4000));
    EXPECT_EQ(
        phone.Adb({"push", (phone.WorkFolder() / "small.obb").string(), "/sdcard/"}).exitStatus, 0);
}

TEST(FullPhone, FreesTheSpaceOfRemovedFiles) {
    SimulatedPhone phone(Scenario{{"capacity", 6000}});
    WriteFile(phone.WorkFolder() / "game/obb/main.obb", Pattern(5000));
    const std::string folder = (phone.WorkFolder() / "game").string();
    ASSERT_EQ(phone.Adb({"push", folder, "/sdcard/Android/"}).exitStatus, 0);
    EXPECT_EQ(phone.Adb({"push", folder, "/sdcard/Download/"}).exitStatus, 1);
    ASSERT_EQ(phone.Adb({"shell", "rm", "-r", "/sdcard/android/game"}).exitStatus, 0);
    EXPECT_EQ(phone.Adb({"push", folder, "/sdcard/Download/"}).exitStatus, 0);
}

}  // namespace
}  // namespace tarnel::test
