// The simulated phone through the real adb, where it must answer as a phone does and no test of
// the programs shows it. Shell commands with the modern feature set (shell protocol v2: separate
// stderr and a real exit status) and with none (plain stream, exit status always 0); what the
// programs ask (getprop, pm, dumpsys, cat) is asked in bridge_e2e and client_e2e. Game data goes up
// with both feature sets (STA2/LIS2 or STAT/LIST) in every game package installed in flow_e2e,
// where a full phone and a pulled cable also cut pushes; install-multiple's sessions over
// "cmd package" and "pm", and the phone's ABIs, density and locale, show in the splits the bundle
// installation tests get.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/apk/apk_builder.h"
#include "tests/package/test_folder.h"
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

TEST(Shell, AnswersLikeAPhone) {
    for (const std::string features : {"modern", "legacy"}) {
        SimulatedPhone phone(Scenario{{"features", features}});
        for (const ShellCase& row : kCases) {
            std::vector<std::string> arguments = {"shell"};
            arguments.insert(arguments.end(), row.command.begin(), row.command.end());
            const AdbRun run = phone.Adb(arguments);
            EXPECT_THAT(run.out, HasSubstr(row.out)) << features << " " << row.name;
            if (features == "modern") {
                EXPECT_THAT(run.err, HasSubstr(row.err)) << row.name;
                EXPECT_EQ(run.exitStatus, row.status) << row.name;
            } else {
                // Without shell v2 both streams arrive mixed and adb always exits 0.
                EXPECT_THAT(run.out, HasSubstr(row.err)) << row.name;
                EXPECT_EQ(run.exitStatus, 0) << row.name;
            }
        }
    }
}

// A phone that took the cable and then stopped answering: adb waits for it until given up on.
TEST(Shell, AHangingPhoneNeverAnswers) {
    SimulatedPhone phone(Scenario{{"hang", true}});
    const AdbRun run = phone.Adb({"shell", "echo", "alive"}, std::chrono::seconds(2));
    EXPECT_NE(run.exitStatus, 0);
    EXPECT_THAT(run.out, ::testing::Not(HasSubstr("alive")));
}

// Every way out of the phone's tree is in its file-system table; here a push goes through it.
TEST(Push, RefusesToWriteWhereTheShellMayNot) {
    SimulatedPhone phone;
    WriteFile(phone.WorkFolder() / "evil.apk", "x");
    const AdbRun push =
        phone.Adb({"push", (phone.WorkFolder() / "evil.apk").string(), "/data/app/evil.apk"});
    EXPECT_EQ(push.exitStatus, 1);
    EXPECT_THAT(push.out, HasSubstr("remote couldn't create file: Permission denied"));
    EXPECT_FALSE(std::filesystem::exists(phone.HostPath("/data/app/evil.apk")));
}

// install-multiple in the forms a modern phone refuses.
TEST(InstallMultiple, RefusesWhatAModernPhoneRefuses) {
    SimulatedPhone phone(Scenario{{"release", "11"}});
    std::vector<std::string> splits;
    for (const char* split : {"", "config.arm64_v8a", "config.en"}) {
        ApkContents apk;
        apk.split = split;
        apk.iconDensities = {};
        splits.push_back((phone.WorkFolder() / (std::string(split) + ".apk")).string());
        BuildApk(apk, splits.back());
    }
    // Android 10 on takes no "-s", in a session or alone, which the installer then leaves out.
    for (const std::string verb : {"install-multiple", "install"}) {
        const AdbRun onCard = phone.Adb({verb, "-r", "-s", splits[0]});
        EXPECT_NE(onCard.exitStatus, 0) << verb;
        EXPECT_THAT(onCard.Both(),
                    HasSubstr("\njava.lang.IllegalArgumentException: Unknown option -s\n"))
            << verb;
    }
    const AdbRun alone = phone.Adb({"install-multiple", "-r", splits[2]});
    EXPECT_THAT(alone.err, HasSubstr("Full install must include a base package"));
    EXPECT_EQ(phone.Adb({"shell", "pm", "path", "com.example.game"}).out, "");
    // What installs goes again with adb uninstall (no program of ours asks; scripts do).
    ASSERT_EQ(phone.Adb({"install-multiple", "-r", splits[0], splits[2]}).exitStatus, 0);
    const AdbRun removed = phone.Adb({"uninstall", "com.example.game"});
    EXPECT_THAT(removed.out, HasSubstr("Success"));
    EXPECT_EQ(phone.Adb({"shell", "pm", "path", "com.example.game"}).out, "");
}

}  // namespace
}  // namespace tarnel::test
