// Shell commands through the real adb, with the modern feature set (shell protocol v2: separate
// stderr and a real exit status) and with none (plain stream, exit status always 0). What the
// programs ask (getprop, pm, dumpsys, cat) is asked in bridge_e2e and client_e2e.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/phone_fixture.h"

namespace tarnel::test {
namespace {

using ::testing::HasSubstr;

struct ShellCase {
    const char* name;
    std::vector<std::string> command;
    const char* out;  // expected within standard output
    const char* err;  // expected within standard error (shell v2) or the mixed stream (legacy)
    int status;       // exit status over shell v2
};

// A command the phone lacks (old phones without wm) and a folder closed to the shell. su on a
// phone without root, and rm of what is not there, are met in the direct facts and the installs.
const ShellCase kCases[] = {
    {"UnknownCommand", {"frobnicate", "now"}, "", "/system/bin/sh: frobnicate: not found", 127},
    {"DataIsClosedToTheShell", {"ls", "/data"}, "", "ls: /data: Permission denied", 1},
};

void PrintTo(const ShellCase& row, std::ostream* out) {
    *out << row.name;
}

class ShellTest : public ::testing::TestWithParam<std::tuple<const char*, ShellCase>> {};

TEST_P(ShellTest, AnswersLikeAPhone) {
    const auto& [features, row] = GetParam();
    SimulatedPhone phone(Scenario{{"features", features}});
    std::vector<std::string> arguments = {"shell"};
    arguments.insert(arguments.end(), row.command.begin(), row.command.end());
    const AdbRun run = phone.Adb(arguments);
    if (std::string(features) == "modern") {
        EXPECT_THAT(run.out, HasSubstr(row.out));
        EXPECT_THAT(run.err, HasSubstr(row.err));
        EXPECT_EQ(run.exitStatus, row.status);
    } else {
        // Without shell v2 both streams arrive mixed and adb always exits 0.
        EXPECT_THAT(run.out, HasSubstr(row.out));
        EXPECT_THAT(run.out, HasSubstr(row.err));
        EXPECT_EQ(run.exitStatus, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Commands, ShellTest,
                         ::testing::Combine(::testing::Values("modern", "legacy"),
                                            ::testing::ValuesIn(kCases)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param)) + "_" +
                                    std::get<1>(info.param).name;
                         });

}  // namespace
}  // namespace tarnel::test
