#include "client/core/device_page_text.h"

#include <cmath>
#include <cstdio>

namespace tarnel {
namespace {

constexpr double kGiB = 1024.0 * 1024 * 1024;

// Whole part of value, kept within [0, limit]; NaN counts as 0.
int Clamped(double value, int limit) {
    if (!(value > 0))
        return 0;
    return value >= limit ? limit : static_cast<int>(value);
}

}  // namespace

SpaceLine SpaceLineFor(double freeBytes, double totalBytes) {
    SpaceLine line;
    char text[128];
    std::snprintf(text, sizeof text, "可用%.2lfGB，总共%.2lfGB", freeBytes / kGiB,
                  totalBytes / kGiB);
    line.text = text;
    if (totalBytes > 0 && std::isfinite(totalBytes)) {
        line.percent = Clamped(freeBytes * 100 / totalBytes, 100);
        line.barWidth = Clamped(freeBytes * kFullBarWidth / totalBytes, kFullBarWidth);
    }
    return line;
}

DevicePageText PageTextFor(const DeviceInfo& facts) {
    DevicePageText page;
    page.model = facts.deviceType;
    page.brand = facts.deviceName;
    page.release = facts.androidRelease;
    page.root = facts.deviceRoot == 1 ? "手机已root" : "手机未root";
    page.cpuType = facts.deviceCPUType;
    page.cpuCount = facts.deviceCPUCount;
    page.resolution = facts.deviceDisplay;
    page.storage = SpaceLineFor(facts.dataSizeFree, facts.dataSizeTotal);
    page.ram = SpaceLineFor(facts.ramSizeFree, facts.ramSizeTotal);
    page.hasSdCard = !(facts.sdcardSizeTotal > -0.00001 && facts.sdcardSizeTotal < 0.00001);
    page.sdcard =
        page.hasSdCard ? SpaceLineFor(facts.sdcardSizeFree, facts.sdcardSizeTotal) : SpaceLine{};
    return page;
}

std::string ScreenshotFileName(const std::tm& localTime) {
    char name[128];
    std::snprintf(name, sizeof name, "Tarnel截图_%d_%d_%d_%d_%d_%d.png", localTime.tm_year + 1900,
                  localTime.tm_mon + 1, localTime.tm_mday, localTime.tm_hour, localTime.tm_min,
                  localTime.tm_sec);
    return name;
}

}  // namespace tarnel
