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
    {"  ls\t /sdcard  ", {"ls", "/sdcard"}},
    {"pm 'install' '-r' '/data/local/tmp/my game.apk'",
     {"pm", "install", "-r", "/data/local/tmp/my game.apk"}},
    {"rm '/data/local/tmp/it'\\''s.apk'", {"rm", "/data/local/tmp/it's.apk"}},
    {"su -c \"ls /data\"", {"su", "-c", "ls /data"}},
    {"echo \"a \\\"quoted\\\" \\$word\"", {"echo", "a \"quoted\" $word"}},
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

// Lists and redirections run through the real adb in the programs' own queries (bridge_e2e).
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
