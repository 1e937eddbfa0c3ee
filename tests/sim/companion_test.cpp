// The companion app's facts file and the screen capture, read back through the real adb.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <zlib.h>
#include <fstream>
#include <thread>

#include "tests/support/phone_fixture.h"

namespace tarnel::test {
namespace {

using namespace std::chrono_literals;
using ::testing::HasSubstr;

const std::vector<std::string> kStartCompanion = {
    "shell", "am", "start", "-n", "com.kestrum.player/com.kestrum.player.base.GuideActivity"};
const std::vector<std::string> kReadFacts = {"shell", "cat", "/sdcard/kestrum_bbs/phoneInfo.dat"};

TEST(Companion, WritesThePhonesFactsOnceItsDelayHasPassed) {
    SimulatedPhone phone(Scenario{{"packages", {{"com.kestrum.player", "2.2.0"}}},
                                  {"companionDelayMs", 400},
                                  {"model", "SM-G9550"},
                                  {"brand", "samsung"},
                                  {"release", "4.4.2"},
                                  {"display", "720x1280"},
                                  {"root", true},
                                  {"cpuType", "armeabi-v7a"},
                                  {"cpuCount", 4},
                                  {"ramTotal", 2000000000},
                                  {"ramFree", 900000000},
                                  {"dataTotal", 16000000000},
                                  {"dataFree", 1610612736},
                                  {"sdcard", false}});
    const auto started = std::chrono::steady_clock::now();
    const AdbRun start = phone.Adb(kStartCompanion);
    EXPECT_THAT(start.out, HasSubstr("Starting: Intent { cmp=com.kestrum.player/"));
    EXPECT_THAT(phone.Adb(kReadFacts).err, HasSubstr("phoneInfo.dat: No such file or directory"));
    AdbRun facts;
    while ((facts = phone.Adb(kReadFacts)).exitStatus != 0 &&
           std::chrono::steady_clock::now() - started < 20s) {
        std::this_thread::sleep_for(50ms);
    }
    EXPECT_GE(std::chrono::steady_clock::now() - started, 400ms);
    EXPECT_EQ(facts.out,
              "{\"deviceType\":\"SM-G9550\",\"deviceName\":\"samsung\",\"deviceCPUType\":"
              "\"armeabi-v7a\",\"deviceCPUCount\":\"4\",\"deviceVersion\":\"4.4.2\","
              "\"deviceDisplay\":\"720x1280\",\"deviceRoot\":\"true\",\"dataSizeTotal\":"
              "\"16000000000\",\"dataSizeFree\":\"1610612736\",\"sdcardSizeTotal\":\"0\","
              "\"sdcardSizeFree\":\"0\",\"ramSizeTotal\":\"2000000000\",\"ramSizeFree\":"
              "\"900000000\"}");
    EXPECT_THAT(phone.Adb({"shell", "ps"}).out, HasSubstr(" com.kestrum.player\n"));
}

TEST(Companion, DoesNotRunWhenItIsNotInstalled) {
    SimulatedPhone phone(Scenario{{"companionDelayMs", 0}});
    const AdbRun start = phone.Adb(kStartCompanion);
    EXPECT_THAT(start.out, HasSubstr("Error: Activity class {com.kestrum.player/"
                                     "com.kestrum.player.base.GuideActivity} does not exist."));
    EXPECT_THAT(phone.Adb({"shell", "ps"}).out, ::testing::Not(HasSubstr("com.kestrum.player")));
    EXPECT_FALSE(std::filesystem::exists(phone.HostPath("/sdcard/kestrum_bbs")));
}

uint32_t BigEndian(const std::string& bytes, size_t at) {
    return static_cast<uint32_t>(static_cast<unsigned char>(bytes[at])) << 24 |
           static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 16 |
           static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 2])) << 8 |
           static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 3]));
}

struct DecodedPng {
    uint32_t width = 0;
    uint32_t height = 0;
    std::string rows;  // inflated scanlines, filter bytes included
};

// Walks the chunks, checks every CRC and inflates the image data.
DecodedPng DecodePng(const std::string& png) {
    DecodedPng decoded;
    EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    std::string packed;
    for (size_t at = 8; at + 12 <= png.size();) {
        const uint32_t length = BigEndian(png, at);
        const std::string type = png.substr(at + 4, 4);
        const auto* checked = reinterpret_cast<const Bytef*>(png.data() + at + 4);
        EXPECT_EQ(BigEndian(png, at + 8 + length), crc32(0, checked, length + 4)) << type;
        if (type == "IHDR") {
            decoded.width = BigEndian(png, at + 8);
            decoded.height = BigEndian(png, at + 12);
        } else if (type == "IDAT") {
            packed += png.substr(at + 8, length);
        }
        at += 12 + length;
    }
    uLongf size = static_cast<uLongf>(decoded.height) * (1 + 3 * decoded.width);
    decoded.rows.resize(size);
    EXPECT_EQ(uncompress(reinterpret_cast<Bytef*>(decoded.rows.data()), &size,
                         reinterpret_cast<const Bytef*>(packed.data()), packed.size()),
              Z_OK);
    decoded.rows.resize(size);
    return decoded;
}

TEST(Screencap, WritesARealPngOfTheDisplayThatAdbCanPull) {
    SimulatedPhone phone(Scenario{{"display", "720x1280"}});
    const AdbRun capture = phone.Adb({"shell", "screencap", "-p", "/sdcard/screencap.png"});
    EXPECT_EQ(capture.exitStatus, 0) << capture.Both();
    const std::filesystem::path folder = phone.WorkFolder() / "tmp";
    std::filesystem::create_directories(folder);
    const AdbRun pull = phone.Adb({"pull", "/sdcard/screencap.png", folder.string()});
    EXPECT_EQ(pull.exitStatus, 0) << pull.Both();
    std::ifstream in(folder / "screencap.png", std::ios::binary);
    const DecodedPng png = DecodePng(std::string(std::istreambuf_iterator<char>(in), {}));
    EXPECT_EQ(png.width, 720u);
    EXPECT_EQ(png.height, 1280u);
    EXPECT_EQ(png.rows.size(), 1280u * (1 + 3 * 720));
}

TEST(Screencap, ComplainsWhenItCannotWriteTheFile) {
    SimulatedPhone phone;
    const AdbRun capture = phone.Adb({"shell", "screencap", "-p", "/system/screencap.png"});
    EXPECT_EQ(capture.exitStatus, 1);
    EXPECT_THAT(capture.err,
                HasSubstr("Error opening file: /system/screencap.png (Read-only file system)"));
}

}  // namespace
}  // namespace tarnel::test
