// The screen capture, read back through the real adb. The companion's facts file is read in the
// client's phone preparation (client_e2e).

#include <gtest/gtest.h>
#include <zlib.h>
#include <fstream>

#include "tests/support/phone_fixture.h"

namespace tarnel::test {
namespace {

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

}  // namespace
}  // namespace tarnel::test
