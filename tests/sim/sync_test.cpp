// Push through the real adb: where the phone refuses to write, and the faults that cut a push.
// Game data goes up with both feature sets (STA2/LIS2 or STAT/LIST) in every game package
// installed in flow_e2e, large files both ways in the installs and screenshots.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/package/test_folder.h"
#include "tests/support/phone_fixture.h"

namespace tarnel::test {
namespace {

using ::testing::HasSubstr;

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

// A full phone and a pulled cable fail the push and keep no part of the file; a pulled cable leaves
// the phone listed, offline, as the installs count on.
TEST(PhoneFaults, FailThePushAndKeepNothing) {
    for (const bool full : {true, false}) {
        SimulatedPhone phone(full ? Scenario{{"capacity", 4096}}
                                  : Scenario{{"dropAfterBytes", 300000}});
        std::string data(2 << 20, '\0');
        for (size_t i = 0; i < data.size(); ++i)
            data[i] = static_cast<char>(i * 7919 % 251);
        WriteFile(phone.WorkFolder() / "big.obb", data);
        const AdbRun push = phone.Adb(
            {"push", (phone.WorkFolder() / "big.obb").string(), "/sdcard/Android/obb/big.obb"});
        EXPECT_EQ(push.exitStatus, 1);
        EXPECT_THAT(push.out, HasSubstr(full ? "No space left on device" : "failed"));
        EXPECT_TRUE(Eventually(
            [&] { return std::filesystem::is_empty(phone.HostPath("/sdcard/Android/obb")); }));
        if (!full) {
            EXPECT_TRUE(phone.WaitForState("offline"));
            EXPECT_THAT(phone.Adb({"shell", "ls"}).err, HasSubstr("offline"));
        }
    }
}

}  // namespace
}  // namespace tarnel::test
