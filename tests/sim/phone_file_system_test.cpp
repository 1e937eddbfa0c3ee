#include <gtest/gtest.h>
#include <cerrno>

#include "sim/phone_file_system.h"
#include "tests/package/test_folder.h"

namespace tarnel::sim {
namespace {

class PhoneFileSystemTest : public ::testing::Test {
  protected:
    PhoneFileSystemTest() { files_.CreateLayout(); }

    test::TestFolder folder_;
    const std::filesystem::path root_ = folder_.Path();
    PhoneFileSystem files_{root_, 1000};
};

// Shared storage ignoring case is what the game data pushes lean on (flow_e2e).
TEST_F(PhoneFileSystemTest, NothingLeadsOutOfTheRoot) {
    std::filesystem::create_symlink("/etc", root_ / "sdcard/etc-link");
    std::filesystem::create_symlink("../../../../../..", root_ / "sdcard/up");
    std::filesystem::create_symlink("loop", root_ / "sdcard/loop");
    for (const char* path : {"/../../etc/passwd", "/sdcard/../../../etc", "/sdcard/etc-link/passwd",
                             "/sdcard/up/up/etc", "sdcard/../../x"}) {
        const HostLocation location = files_.Locate(path, Access::Read, true);
        const std::string host = location.host.string();
        EXPECT_EQ(host.rfind(root_.string(), 0), 0u) << path << " -> " << host;
    }
    EXPECT_EQ(files_.Locate("/sdcard/etc-link/passwd", Access::Read, true).host,
              root_ / "etc/passwd");
    EXPECT_EQ(files_.Locate("/sdcard/loop", Access::Read, true).error, ELOOP);
    EXPECT_EQ(files_.Locate(std::string("/sdcard/a\0b", 11), Access::Read, true).error, EINVAL);
}

TEST_F(PhoneFileSystemTest, TheShellMayWriteOnlyToSharedStorageAndTmp) {
    const struct {
        const char* path;
        Access access;
        int shellError;
    } rows[] = {
        {"/sdcard/Download/a.txt", Access::Write, 0},
        {"/data/local/tmp/a.apk", Access::Write, 0},
        {"/data/local/tmp", Access::Write, EACCES},
        {"/data/app/a.apk", Access::Write, EACCES},
        {"/system/a", Access::Write, EROFS},
        {"/sdcard", Access::Write, EACCES},
        {"/data", Access::Read, EACCES},
        {"/data/local/tmp", Access::Read, 0},
        {"/data/app/x", Access::Lookup, 0},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(files_.Locate(row.path, row.access, false).error, row.shellError) << row.path;
        EXPECT_EQ(files_.Locate(row.path, row.access, true).error, 0) << row.path;
    }
}

}  // namespace
}  // namespace tarnel::sim
