#pragma once

#include <string>
#include <string_view>

#include "sim/phone_file_system.h"
#include "sim/scenario.h"

namespace tarnel::sim {

inline constexpr std::string_view kCompanionPackage = "com.kestrum.player";
inline constexpr std::string_view kCompanionGuideActivity = "com.kestrum.player.base.GuideActivity";
inline constexpr std::string_view kDeviceFactsPath = "/sdcard/kestrum_bbs/phoneInfo.dat";

// The companion's facts file: one JSON object whose values are all strings, sizes in bytes.
std::string DeviceFactsText(const Scenario& scenario);

// Writes the facts file whole (through a temporary name), so a reader never sees half of it.
void WriteDeviceFacts(const Scenario& scenario, const PhoneFileSystem& files);

}  // namespace tarnel::sim
