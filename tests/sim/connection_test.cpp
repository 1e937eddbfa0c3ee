// The simulated phone against the real adb: the ways a phone goes wrong. Being listed, unplugged
// or unauthorized is what IsDeviceConnected sees (bridge_e2e).

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <fstream>

#include "tests/support/phone_fixture.h"

namespace tarnel::test {
namespace {

using namespace std::chrono_literals;
using ::testing::HasSubstr;
using ::testing::Not;

void WriteBytes(const std::filesystem::path& file, size_t size) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    for (size_t i = 0; i < size; ++i) {
        out.put(static_cast<char>(i * 7919 % 251));
    }
}

TEST(PhoneConnection, AHungPhoneKeepsAdbWaitingUntilItIsKilled) {
    SimulatedPhone phone(Scenario{{"hang", true}});
    EXPECT_EQ(phone.State(), "device");
    const auto started = std::chrono::steady_clock::now();
    const AdbRun shell = phone.Adb({"shell", "getprop", "ro.product.model"}, 1500ms);
    EXPECT_TRUE(shell.timedOut);
    EXPECT_GE(std::chrono::steady_clock::now() - started, 1500ms);
    EXPECT_EQ(shell.out, "");
}

TEST(PhoneConnection, APulledCableFailsThePushAndLeavesNoPartialFile) {
    SimulatedPhone phone(Scenario{{"dropAfterBytes", 300000}});
    const std::filesystem::path big = phone.WorkFolder() / "big.obb";
    WriteBytes(big, 2 * 1024 * 1024);
    const AdbRun push = phone.Adb({"push", big.string(), "/sdcard/Android/obb/big.obb"});
    EXPECT_EQ(push.exitStatus, 1);
    EXPECT_THAT(push.out, HasSubstr("failed"));
    EXPECT_TRUE(Eventually(
        [&] { return std::filesystem::is_empty(phone.HostPath("/sdcard/Android/obb")); }));
    // The phone stays gone: adb keeps it listed, offline, and every command fails.
    EXPECT_TRUE(phone.WaitForState("offline"));
    EXPECT_THAT(phone.Adb({"shell", "ls"}).err, HasSubstr("offline"));
}

// adb says nothing about a cut pull beyond a stale progress line; only the exit status tells.
TEST(PhoneConnection, APulledCableFailsThePullAndAdbRemovesItsPartialCopy) {
    SimulatedPhone phone(Scenario{{"dropAfterBytes", 200000}});
    WriteBytes(phone.HostPath("/sdcard/DCIM/video.mp4"), 1024 * 1024);
    const std::filesystem::path copy = phone.WorkFolder() / "video.mp4";
    const AdbRun pull = phone.Adb({"pull", "/sdcard/DCIM/video.mp4", copy.string()});
    EXPECT_EQ(pull.exitStatus, 1);
    EXPECT_THAT(pull.Both(), Not(HasSubstr("pulled")));
    EXPECT_FALSE(std::filesystem::exists(copy));
}

}  // namespace
}  // namespace tarnel::test
