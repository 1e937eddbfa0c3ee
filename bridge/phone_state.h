#pragma once

#include <string_view>

namespace tarnel {

// How `adb devices` lists the phone: ready, there but waiting for the user to allow USB
// debugging, there but not openable for lack of udev rules, or not there at all.
enum class PhoneState { Absent, Ready, Unauthorized, NoPermissions };

// The most useful state among the listed phones (a ready phone wins, then one that needs the
// user's consent, then one that needs permissions). Lines before the header are ignored.
PhoneState ParsePhoneState(std::string_view devicesOutput);

// The one-line hint for a phone that is there but not ready; empty for Absent and Ready.
std::string_view PhoneStateHint(PhoneState state);

}  // namespace tarnel
