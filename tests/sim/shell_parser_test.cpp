#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "sim/shell_parser.h"

namespace tarnel::sim {
namespace {

using Words = std::vector<std::string>;

struct WordsCase {
    const char* line;
    Words words;
};

// What adb and our programs send, and how the phone's shell splits it.
const WordsCase kWords[] = {
    {"ls /sdcard", {"ls", "/sdcard"}},
    {"  ls\t /sdcard  ", {"ls", "/sdcard"}},
    {"pm 'install' '-r' '/data/local/tmp/my game.apk'",
     {"pm", "install", "-r", "/data/local/tmp/my game.apk"}},
    {"rm '/data/local/tmp/it'\\''s.apk'", {"rm", "/data/local/tmp/it's.apk"}},
    {"su -c \"ls /data\"", {"su", "-c", "ls /data"}},
    {"echo \"a \\\"quoted\\\" \\$word\"", {"echo", "a \"quoted\" $word"}},
    {"echo a\\ b", {"echo", "a b"}},
    {"echo '' x", {"echo", "", "x"}},
    {"echo keep# this # but not this", {"echo", "keep#", "this"}},
};

TEST(ShellParser, SplitsWordsAsThePhonesShellDoes) {
    for (const WordsCase& row : kWords) {
        const ParsedCommandLine parsed = ParseCommandLine(row.line);
        ASSERT_EQ(parsed.error, "") << row.line;
        ASSERT_EQ(parsed.steps.size(), 1u) << row.line;
        EXPECT_EQ(parsed.steps[0].command.words, row.words) << row.line;
    }
}

TEST(ShellParser, ReadsListsAndRedirections) {
    const ParsedCommandLine parsed =
        ParseCommandLine("rm '/data/local/tmp/a.apk' </dev/null; ls x 2>&1 >out && a || b 2>err");
    ASSERT_EQ(parsed.error, "");
    ASSERT_EQ(parsed.steps.size(), 4u);
    const Redirection& input = parsed.steps[0].command.redirections.at(0);
    EXPECT_EQ(input.kind, Redirection::Kind::Input);
    EXPECT_EQ(input.fd, 0);
    EXPECT_EQ(input.target, "/dev/null");
    const auto& second = parsed.steps[1].command.redirections;
    ASSERT_EQ(second.size(), 2u);
    EXPECT_EQ(second[0].kind, Redirection::Kind::ToStandardOutput);
    EXPECT_EQ(second[0].fd, 2);
    EXPECT_EQ(second[1].kind, Redirection::Kind::Truncate);
    EXPECT_EQ(second[1].target, "out");
    EXPECT_EQ(parsed.steps[2].condition, RunCondition::AfterSuccess);
    EXPECT_EQ(parsed.steps[3].condition, RunCondition::AfterFailure);
    EXPECT_EQ(parsed.steps[3].command.redirections.at(0).fd, 2);
}

TEST(ShellParser, RefusesWhatItCannotRun) {
    for (const char* line : {"echo 'open", "echo \"open", "ls | grep x", "sleep 9 &", "; ls",
                             "ls &&", "cat <", "echo > ;", "ls 7>x"}) {
        const ParsedCommandLine parsed = ParseCommandLine(line);
        EXPECT_NE(parsed.error, "") << line;
        EXPECT_TRUE(parsed.steps.empty()) << line;
    }
}

}  // namespace
}  // namespace tarnel::sim
