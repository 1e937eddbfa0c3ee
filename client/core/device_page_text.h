#pragma once

#include <ctime>
#include <string>

#include "bridge/device_info.h"

namespace tarnel {

// The width of a full bar on the device page, in pixels.
inline constexpr int kFullBarWidth = 455;

// One store's line on the device page: "可用1.50GB，总共7.80GB", the free share in percent and
// the bar's filled width. A total of 0 (or nonsense) gives empty bars, never a division by zero.
struct SpaceLine {
    std::string text;
    int percent = 0;
    int barWidth = 0;
};
SpaceLine SpaceLineFor(double freeBytes, double totalBytes);

// Everything the page shows, from the facts as the bridge holds them.
struct DevicePageText {
    std::string model, brand, release, root, cpuType, cpuCount, resolution;
    SpaceLine ram, storage, sdcard;
    bool hasSdCard = false;
};
DevicePageText PageTextFor(const DeviceInfo& facts);

// "Tarnel截图_2015_3_7_9_5_3.png" for 9:05:03 on 7 March 2015, local time.
std::string ScreenshotFileName(const std::tm& localTime);

}  // namespace tarnel
