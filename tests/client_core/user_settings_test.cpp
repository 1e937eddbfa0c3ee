#include "client/core/user_settings.h"

#include <gtest/gtest.h>

#include "tests/package/test_folder.h"

namespace tarnel {
namespace {

TEST(SettingValue, OnlyOneCountsAsOne) {
    const struct {
        const char* text;
        int value;
    } cases[] = {
        {"1", 1},
        {"0", 0},
        {"yes", 0},
        {"1abc", 1},
        // Narrowed to 32 bits it would be 1.
        {"4294967297", 0},
        // Only 19 characters were ever read: the 1 after them is never seen.
        {"0000000000000000000001", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SettingValue(c.text), c.value) << '"' << c.text << '"';
    }
}

TEST(UserSettings, ReadsEachKeyAtEveryUseAndWritesThroughKeepingOtherLines) {
    test::TestFolder folder;
    const UserSettings settings(folder / "tarnelUser.ini");
    EXPECT_EQ(settings.AskPrompt(), 0) << "missing file";
    EXPECT_EQ(settings.ExitApp(), 0) << "missing file";
    test::WriteFile(folder / "tarnelUser.ini", "[SET]\naskprompt = 1\n[OTHER]\nexitapp=1\n");
    EXPECT_EQ(settings.AskPrompt(), 1);
    EXPECT_EQ(settings.ExitApp(), 0) << "a key of another section";
    ASSERT_TRUE(settings.WriteExitApp(1));
    EXPECT_EQ(UserSettings(folder / "tarnelUser.ini").ExitApp(), 1);
    EXPECT_NE(test::ReadFile(folder / "tarnelUser.ini").find("[OTHER]\nexitapp = 1"),
              std::string::npos);
}

}  // namespace
}  // namespace tarnel
