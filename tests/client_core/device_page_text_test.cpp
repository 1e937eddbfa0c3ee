#include "client/core/device_page_text.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tarnel {
namespace {

constexpr double kGiB = 1024.0 * 1024 * 1024;

TEST(DevicePageText, SpaceLines) {
    const struct {
        const char* name;
        double free, total;
        const char* text;
        int percent, barWidth;
    } cases[] = {
        {"example", std::floor(1.5 * kGiB), std::floor(7.8 * kGiB), "可用1.50GB，总共7.80GB", 19,
         87},
        {"full", 4 * kGiB, 4 * kGiB, "可用4.00GB，总共4.00GB", 100, 455},
        {"nothing free", 0, 64 * kGiB, "可用0.00GB，总共64.00GB", 0, 0},
        {"total of 0", 0, 0, "可用0.00GB，总共0.00GB", 0, 0},
        {"free without a total", 2 * kGiB, 0, "可用2.00GB，总共0.00GB", 0, 0},
        {"more free than total", 8 * kGiB, 4 * kGiB, "可用8.00GB，总共4.00GB", 100, 455},
        {"negative total", kGiB, -kGiB, "可用1.00GB，总共-1.00GB", 0, 0},
        {"not a number", NAN, kGiB, "可用nanGB，总共1.00GB", 0, 0},
    };
    for (const auto& c : cases) {
        const SpaceLine line = SpaceLineFor(c.free, c.total);
        EXPECT_EQ(line.text, c.text) << c.name;
        EXPECT_EQ(line.percent, c.percent) << c.name;
        EXPECT_EQ(line.barWidth, c.barWidth) << c.name;
    }
}

// No leading zeros.
TEST(DevicePageText, ScreenshotFileName) {
    std::tm time{.tm_sec = 3, .tm_min = 5, .tm_hour = 9, .tm_mday = 7, .tm_mon = 2, .tm_year = 115};
    EXPECT_EQ(ScreenshotFileName(time), "Tarnel截图_2015_3_7_9_5_3.png");
}

}  // namespace
}  // namespace tarnel
