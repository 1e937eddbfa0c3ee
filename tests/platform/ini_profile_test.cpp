#include "platform/ini_profile.h"

#include <gtest/gtest.h>

#include "tests/package/test_folder.h"

namespace tarnel {
namespace {

using test::TestFolder;

TEST(IniProfile, WritesThroughAndKeepsOtherValues) {
    TestFolder folder;
    test::WriteFile(folder / "user.ini", "; kept comment\n[set]\nexitMode=1\n[other]\nx=y\n");
    IniProfile profile(folder / "user.ini");
    ASSERT_TRUE(profile.Write("set", "autoRun", "1"));
    EXPECT_EQ(profile.Read("set", "autoRun"), "1");
    EXPECT_EQ(profile.Read("set", "exitMode"), "1");
    EXPECT_EQ(profile.Read("other", "x"), "y");
    ASSERT_TRUE(profile.Write("set", "autoRun", "0"));
    EXPECT_EQ(IniProfile(folder / "user.ini").Read("set", "autoRun"), "0");
    // No temporary file is left beside it.
    int files = 0;
    for (auto& entry : std::filesystem::directory_iterator(folder.Path()))
        files += entry.is_regular_file();
    EXPECT_EQ(files, 1);
}

TEST(IniProfile, AMissingFileGivesTheFallbackAndItsFolderIsMadeOnWrite) {
    TestFolder folder;
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
