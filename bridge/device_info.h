#pragma once

#include <string>
#include <string_view>

namespace tarnel {

// What the companion app reports about the phone. Numbers keep the companion's own unit.
struct DeviceInfo {
    std::string model;
    std::string androidRelease;  // "android " and the version
    std::string deviceDisplay;
    int deviceRoot = 0;
    std::string deviceType;
    std::string deviceName;
    std::string deviceCPUType;
    std::string deviceCPUCount;
    double dataSizeTotal = 0;
    double dataSizeFree = 0;
    double sdcardSizeTotal = 0;
    double sdcardSizeFree = 0;
    double ramSizeTotal = 0;
    double ramSizeFree = 0;
};

// Reads the companion's facts file (`{"key":"value",…}`); false, leaving info as it was, when the
// text is not such a file (a shell complaint, an adb error, nothing at all).
bool ParseDeviceInfo(std::string_view text, DeviceInfo& info);

}  // namespace tarnel
