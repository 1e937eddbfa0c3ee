#pragma once

#include <filesystem>

#include "bridge/device_bridge.h"

namespace tarnel {

// The phone's latest screenshot in the work folder (tmp/ under the user's cache folder).
std::filesystem::path ScreenshotPath();

// Takes a screenshot into ScreenshotPath(). The old file goes first, so that success means a
// new PNG file is there, not an earlier one that a failed pull left behind.
bool TakeFreshScreenshot(DeviceBridge& bridge);

}  // namespace tarnel
