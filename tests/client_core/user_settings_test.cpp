#include "client/core/user_settings.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

namespace tarnel {
namespace {

namespace fs = std::filesystem;

class UserSettingsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "tarnel-settings-XXXXXX").string();
        folder_ = ::mkdtemp(pattern.data());
    }
    void TearDown() override { fs::remove_all(folder_); }

    fs::path File() const { return folder_ / "tarnelUser.ini"; }
    void WriteIni(const std::string& text) const { std::ofstream(File()) << text; }

    fs::path folder_;
};

TEST(SettingValue, OnlyOneCountsAsOne) {
    const struct {
        const char* text;
        int value;
    } cases[] = {
        {"1", 1},
        {"0", 0},
        {"2", 0},
        {"yes", 0},
        {"", 0},
        {" 1", 1},
        {"+1", 1},
        {"1abc", 1},
        {"01", 1},
        {"-1", 0},
        {"11", 0},
        {"1.9", 1},
        {"4294967297", 0},
        // Only 19 characters were ever read: the 1 after them is never seen.
        {"0000000000000000000001", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SettingValue(c.text), c.value) << '"' << c.text << '"';
    }
}

TEST_F(UserSettingsTest, ReadsEachKeyFromTheFileAtEveryUse) {
    const UserSettings settings(File());
    EXPECT_EQ(settings.AskPrompt(), 0) << "missing file";
    EXPECT_EQ(settings.ExitApp(), 0) << "missing file";
    WriteIni("[SET]\naskprompt=2\nexitapp=word\n");
    EXPECT_EQ(settings.AskPrompt(), 0);
    EXPECT_EQ(settings.ExitApp(), 0);
    WriteIni("[SET]\naskprompt = 1\n[OTHER]\nexitapp=1\n");
    EXPECT_EQ(settings.AskPrompt(), 1);
    EXPECT_EQ(settings.ExitApp(), 0) << "a key of another section";
}

TEST_F(UserSettingsTest, WritesThroughKeepingOtherLines) {
    WriteIni("[SET]\nexitapp=0\n[WINDOW]\nleft=20\n");
    const UserSettings settings(File());
    ASSERT_TRUE(settings.WriteAskPrompt(1));
    ASSERT_TRUE(settings.WriteExitApp(1));
    EXPECT_EQ(UserSettings(File()).AskPrompt(), 1);
    EXPECT_EQ(UserSettings(File()).ExitApp(), 1);
    std::ifstream in(File());
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    EXPECT_NE(text.find("left = 20"), std::string::npos) << text;
}

TEST(UserSettings, LivesInTheUserConfigFolder) {
    ::setenv("XDG_CONFIG_HOME", "/somewhere/config", 1);
    EXPECT_EQ(UserSettings().File(), fs::path("/somewhere/config/tarnel/tarnelUser.ini"));
    ::unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
}  // namespace tarnel
