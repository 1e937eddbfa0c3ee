#include "bridge/device_info.h"

#include "bridge/marker_search.h"

namespace tarnel {
namespace {

constexpr std::string_view kKeys[] = {
    "deviceType",     "deviceName",   "deviceCPUType", "deviceCPUCount", "deviceVersion",
    "deviceDisplay",  "deviceRoot",   "dataSizeTotal", "dataSizeFree",   "sdcardSizeTotal",
    "sdcardSizeFree", "ramSizeTotal", "ramSizeFree",
};

std::string Marker(std::string_view key) {
    return "\"" + std::string(key) + "\":\"";
}

std::string Value(std::string_view text, std::string_view key) {
    return ValueAfterMarker(text, Marker(key));
}

double Number(std::string_view text, std::string_view key) {
    return LeadingNumber(Value(text, key));
}

bool HasAnyKey(std::string_view text) {
    for (std::string_view key : kKeys) {
        if (text.find(Marker(key)) != std::string_view::npos)
            return true;
    }
    return false;
}

}  // namespace

bool ParseDeviceInfo(std::string_view text, DeviceInfo& info) {
    if (text.find("phoneInfo.dat") != std::string_view::npos || !HasAnyKey(text))
        return false;
    info.deviceType = Value(text, "deviceType");
    info.deviceName = Value(text, "deviceName");
    info.deviceCPUType = Value(text, "deviceCPUType");
    info.deviceCPUCount = Value(text, "deviceCPUCount");
    info.model = info.deviceType;
    info.androidRelease = "android " + Value(text, "deviceVersion");
    info.deviceDisplay = Value(text, "deviceDisplay");
    info.deviceRoot = Value(text, "deviceRoot") == "true" ? 1 : 0;
    info.dataSizeTotal = Number(text, "dataSizeTotal");
    info.dataSizeFree = Number(text, "dataSizeFree");
    info.sdcardSizeTotal = Number(text, "sdcardSizeTotal");
    info.sdcardSizeFree = Number(text, "sdcardSizeFree");
    info.ramSizeTotal = Number(text, "ramSizeTotal");
    info.ramSizeFree = Number(text, "ramSizeFree");
    return true;
}

}  // namespace tarnel
