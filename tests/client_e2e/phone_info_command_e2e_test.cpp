// tarnel --info and --screenshot as functions writing to streams, on the simulated phone.

#include "client/core/phone_info_command.h"

#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "tests/client_e2e/client_phone.h"
#include "tests/support/phone_fixture.h"

namespace tarnel::test {
namespace {

using namespace std::chrono_literals;

// The unauthorized phone's hint is the no-phone page's (tests/client_app); here, the commands' own.
TEST(PhoneInfoCommand, WithoutAReadyPhoneExitsThreeWithTheHint) {
    ClientFolders folders;
    SimulatedPhone phone(Scenario::object(), PhonePresence::Unplugged);
    DeviceBridge bridge = ClientBridge();
    std::ostringstream out, err, shotErr;
    EXPECT_EQ(PrintPhoneInfo(bridge, folders.Settings(100ms), out, err), kExitNoReadyPhone);
    EXPECT_TRUE(out.str().empty());
    EXPECT_NE(err.str().find("没有连接手机"), std::string::npos) << err.str();
    EXPECT_EQ(SaveScreenshotTo(bridge, folders.Folder() / "shot.png", shotErr), kExitNoReadyPhone);
    EXPECT_NE(shotErr.str().find("没有连接手机"), std::string::npos) << shotErr.str();
}

// Two phones need a choice; the chosen one's facts and page texts are printed as JSON.
TEST(PhoneInfoCommand, PrintsTheChosenPhonesFactsAsJson) {
    ClientFolders folders;
    SimulatedPhone first(Scenario{{"model", "MI 8"}});
    SimulatedPhone second(first, Scenario{{"model", "Pixel 7"}, {"root", true}, {"sdcard", false}});
    DeviceBridge bridge = ClientBridge();
    std::ostringstream out, err;
    EXPECT_EQ(SelectPhone(bridge, "", err), kExitSeveralPhones);
    EXPECT_NE(err.str().find(first.Serial() + "  MI_8"), std::string::npos) << err.str();
    EXPECT_NE(err.str().find(second.Serial() + "  Pixel_7"), std::string::npos) << err.str();
    EXPECT_EQ(SelectPhone(bridge, "127.0.0.1:1", err), kExitNoReadyPhone);
    ASSERT_EQ(SelectPhone(bridge, second.Serial(), err), std::nullopt);
    ASSERT_EQ(PrintPhoneInfo(bridge, folders.Settings(100ms), out, err), 0) << err.str();
    const nlohmann::json info = nlohmann::json::parse(out.str());
    EXPECT_EQ(info["model"], "Pixel 7");
    EXPECT_EQ(info["deviceName"], "Xiaomi");
    EXPECT_EQ(info["deviceRoot"], 1);
    EXPECT_EQ(info["sdcardSizeTotal"], 0);
    EXPECT_EQ(info["page"]["root"], "手机已root");
    EXPECT_EQ(info["page"]["storage"]["text"], "可用18.63GB，总共59.60GB");
    EXPECT_EQ(info["page"]["hasSdCard"], false);
}

TEST(ScreenshotCommand, SavesAFreshPngOrSaysItFailed) {
    ClientFolders folders;
    const std::filesystem::path target = folders.Folder() / "a folder" / "shot.png";
    std::filesystem::create_directories(target.parent_path());
    {
        SimulatedPhone phone;
        DeviceBridge bridge = ClientBridge();
        std::ostringstream err;
        ASSERT_EQ(SaveScreenshotTo(bridge, target, err), 0) << err.str();
        std::ifstream file(target, std::ios::binary);
        std::string signature(8, '\0');
        file.read(signature.data(), 8);
        EXPECT_EQ(signature, "\x89PNG\r\n\x1a\n");
    }
    {
        // A phone without screencap: the earlier picture in the work folder does not count.
        SimulatedPhone phone(Scenario{{"screencap", false}});
        DeviceBridge bridge = ClientBridge();
        std::ostringstream err;
        EXPECT_EQ(SaveScreenshotTo(bridge, folders.Folder() / "second.png", err), 1);
        EXPECT_NE(err.str().find("截图失败"), std::string::npos);
        EXPECT_FALSE(std::filesystem::exists(folders.Folder() / "second.png"));
    }
}

}  // namespace
}  // namespace tarnel::test
