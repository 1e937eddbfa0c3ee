#pragma once

#include <filesystem>
#include <ostream>

#include "bridge/device_bridge.h"
#include "client/core/phone_preparation.h"

namespace tarnel {

// Exit statuses of the headless modes.
inline constexpr int kExitNoReadyPhone = 3;

// tarnel --info: prepares the phone as the wizard does and prints its facts as one UTF-8 JSON
// object (the facts by their names, plus the device page's texts). Without a ready phone it
// prints why on err (the no-phone page's hint when the phone waits for the user or for udev
// rules) and returns kExitNoReadyPhone.
int PrintPhoneInfo(DeviceBridge& bridge, const PreparationSettings& settings, std::ostream& out,
                   std::ostream& err);

// tarnel --screenshot FILE: a fresh screenshot saved as FILE. kExitNoReadyPhone without a ready
// phone, 1 when the phone gave no picture or FILE cannot be written.
int SaveScreenshotTo(DeviceBridge& bridge, const std::filesystem::path& target, std::ostream& err);

}  // namespace tarnel
