#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string_view>

#include "bridge/device_bridge.h"
#include "client/core/phone_preparation.h"

namespace tarnel {

// Exit statuses of the headless modes.
inline constexpr int kExitNoReadyPhone = 3;
inline constexpr int kExitSeveralPhones = 2;

// Points bridge at the wanted phone (--serial or ANDROID_SERIAL), or at the only ready one. An
// exit status when the command cannot go on: several phones and no wish (they are listed on
// err), or a wished phone that is not attached; nothing otherwise (with no phone at all the
// command itself says why).
std::optional<int> SelectPhone(DeviceBridge& bridge, std::string_view wanted, std::ostream& err);

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
