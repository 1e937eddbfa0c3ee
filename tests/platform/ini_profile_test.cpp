#include "platform/ini_profile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace tarnel {
namespace {

class IniProfileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() /
                 ("tarnel-ini-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }
    std::filesystem::path folder;
};

TEST_F(IniProfileTest, WritesThroughAndKeepsOtherValues) {
    std::filesystem::create_directories(folder);
    { std::ofstream(folder / "user.ini") << "; kept comment\n[set]\nexitMode=1\n[other]\nx=y\n"; }
    IniProfile profile(folder / "user.ini");
    ASSERT_TRUE(profile.Write("set", "autoRun", "1"));
    EXPECT_EQ(profile.Read("set", "autoRun"), "1");
    EXPECT_EQ(profile.Read("set", "exitMode"), "1");
    EXPECT_EQ(profile.Read("other", "x"), "y");
    ASSERT_TRUE(profile.Write("set", "autoRun", "0"));
    EXPECT_EQ(IniProfile(folder / "user.ini").Read("set", "autoRun"), "0");
    // No temporary file is left beside it.
    int files = 0;
    for (auto& entry : std::filesystem::directory_iterator(folder))
        files += entry.is_regular_file();
    EXPECT_EQ(files, 1);
}

TEST_F(IniProfileTest, AMissingFileGivesTheFallbackAndItsFolderIsMadeOnWrite) {
    IniProfile profile(folder / "deep" / "user.ini");
    EXPECT_EQ(profile.Read("set", "k", "0"), "0");
    ASSERT_TRUE(profile.Write("set", "k", "v"));
    EXPECT_EQ(profile.Read("set", "k"), "v");
    // A file where the folder should be: the write fails and nothing is read.
    IniProfile blocked(folder / "deep" / "user.ini" / "user.ini");
    EXPECT_FALSE(blocked.Write("set", "k", "v"));
    EXPECT_EQ(blocked.Read("set", "k", "none"), "none");
}

}  // namespace
}  // namespace tarnel
