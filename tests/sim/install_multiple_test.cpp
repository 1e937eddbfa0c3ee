// adb install-multiple through the real adb, in the forms a real phone refuses. The session over
// "cmd package" (modern) and over "pm" (legacy), and the phone's ABIs, density and locale, show in
// the splits the bundle installation tests get.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/apk/apk_builder.h"
#include "tests/support/phone_fixture.h"

namespace tarnel::test {
namespace {

using ::testing::HasSubstr;

TEST(InstallMultiple, RefusesWhatAModernPhoneRefuses) {
    SimulatedPhone phone;
    std::vector<std::string> splits;
    for (const char* split : {"", "config.arm64_v8a", "config.en"}) {
        ApkContents apk;
        apk.split = split;
        apk.iconDensities = {};
        splits.push_back((phone.WorkFolder() / (std::string(split) + ".apk")).string());
        BuildApk(apk, splits.back());
    }
    // The session of a modern phone takes no "-s", which the bundle installation then leaves out.
    const AdbRun onCard = phone.Adb({"install-multiple", "-r", "-s", splits[0], splits[1]});
    EXPECT_THAT(onCard.Both(), HasSubstr("Unknown option -s"));
    const AdbRun alone = phone.Adb({"install-multiple", "-r", splits[2]});
    EXPECT_THAT(alone.err, HasSubstr("Full install must include a base package"));
    EXPECT_EQ(phone.Adb({"shell", "pm", "path", "com.example.game"}).out, "");
}

}  // namespace
}  // namespace tarnel::test
