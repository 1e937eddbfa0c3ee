#include "platform/command_line.h"

#include <gtest/gtest.h>

namespace tarnel {
namespace {

using Args = std::vector<std::string>;

TEST(SplitCommandLine, FollowsWindowsRules) {
    const struct {
        const char* line;
        Args expected;
    } cases[] = {
        {"adb devices ", {"adb", "devices"}},
        {"  adb\t shell  ps ", {"adb", "shell", "ps"}},
        {"adb install -r \"/home/me/My Games/a.apk\"",
         {"adb", "install", "-r", "/home/me/My Games/a.apk"}},
        {"a \"b c\"d e", {"a", "b cd", "e"}},
        {"a \\\"b", {"a", "\"b"}},
        {"a \\\\\"b c\"", {"a", "\\b c"}},
        {"a b\\c\\\\d", {"a", "b\\c\\\\d"}},
        {"a \"\"", {"a", ""}},
        {"su -c \"ls /data\"", {"su", "-c", "ls /data"}},
        {"", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SplitCommandLine(c.line), c.expected) << c.line;
}

TEST(QuoteArgument, AnyLinuxPathSurvivesTheRoundTrip) {
    const char* paths[] = {
        "/plain/path.apk",
        "/with space/a b.apk",
        "/quote\"inside",
        "/back\\slash\\",
        "/ends with backslash\\",
        "/new\nline",
        "\\\"",
        "",
        "/\\\\\"\\",
    };
    for (const char* path : paths) {
        const std::string line = "tool " + QuoteArgument(path) + " tail";
        EXPECT_EQ(SplitCommandLine(line), (Args{"tool", path, "tail"})) << line;
        const std::string bare = "tool " + QuoteArgumentIfNeeded(path);
        EXPECT_EQ(SplitCommandLine(bare), (Args{"tool", path})) << bare;
    }
}

}  // namespace
}  // namespace tarnel
