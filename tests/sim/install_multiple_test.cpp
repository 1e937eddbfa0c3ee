// adb install-multiple through the real adb: the install session over "cmd package" (modern) and
// over "pm" (legacy), and the installed files as "pm path" lists them. (The phone's answers about
// its ABIs, density and locale show in the splits the bundle installation tests get.)

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/apk/apk_builder.h"
#include "tests/support/phone_fixture.h"

namespace tarnel::test {
namespace {

using ::testing::HasSubstr;

struct SessionCase {
    const char* features;
    bool sdCard;
    const char* expected;  // in adb's text
    bool installed;
};

class InstallMultipleTest : public ::testing::TestWithParam<SessionCase> {};

TEST_P(InstallMultipleTest, InstallsTheBaseAndItsSplitsInOneSession) {
    const SessionCase& each = GetParam();
    SimulatedPhone phone(Scenario{{"features", each.features}});
    std::vector<std::string> arguments = {"install-multiple", "-r"};
    if (each.sdCard)
        arguments.push_back("-s");
    for (const char* split : {"", "config.arm64_v8a", "config.xxhdpi"}) {
        ApkContents apk;
        apk.split = split;
        apk.iconDensities = {};
        const auto file = phone.WorkFolder() / (std::string(*split ? split : "base") + ".apk");
        BuildApk(apk, file);
        arguments.push_back(file.string());
    }
    const AdbRun run = phone.Adb(arguments);
    EXPECT_THAT(run.Both(), HasSubstr(each.expected));
    const AdbRun path = phone.Adb({"shell", "pm", "path", "com.example.game"});
    if (!each.installed) {
        EXPECT_EQ(path.out, "");
        return;
    }
    EXPECT_EQ(run.exitStatus, 0) << run.Both();
    const std::string folder = std::string("package:") + (each.sdCard ? "/mnt/asec" : "/data/app") +
                               "/com.example.game-1/";
    EXPECT_EQ(path.out, folder + "base.apk\n" + folder + "split_config.arm64_v8a.apk\n" + folder +
                            "split_config.xxhdpi.apk\n");
}

INSTANTIATE_TEST_SUITE_P(Phones, InstallMultipleTest,
                         ::testing::Values(SessionCase{"modern", false, "Success", true},
                                           SessionCase{"legacy", false, "Success", true},
                                           SessionCase{"legacy", true, "Success", true},
                                           SessionCase{"modern", true, "Unknown option -s", false}),
                         [](const auto& info) { return "Case" + std::to_string(info.index); });

// (The scenario's failure shows in the bundle installation tests.)
TEST(InstallMultiple, RefusesSplitsWithoutTheirBase) {
    SimulatedPhone phone;
    ApkContents apk;
    apk.iconDensities = {};
    apk.split = "config.en";
    BuildApk(apk, phone.WorkFolder() / "en.apk");
    const AdbRun alone =
        phone.Adb({"install-multiple", "-r", (phone.WorkFolder() / "en.apk").string()});
    EXPECT_THAT(alone.err, HasSubstr("Full install must include a base package"));
}

}  // namespace
}  // namespace tarnel::test
