#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarnel {

// How `adb devices` lists the phone: ready, there but waiting for the user to allow USB
// debugging, there but not openable for lack of udev rules, or not there at all.
enum class PhoneState { Absent, Ready, Unauthorized, NoPermissions };

// One line of `adb devices -l` (or of plain `adb devices`).
struct AttachedPhone {
    std::string serial;
    // adb's own words: "device", "offline", "unauthorized", "no permissions (…); see […]"…
    std::string state;
    // As adb gives it (spaces and other signs already turned into '_'); empty when not known.
    std::string model;
    // adb's transport_id, the one name that stays apart when two phones share a serial.
    std::string transportId;

    PhoneState Kind() const;
    bool Ready() const { return Kind() == PhoneState::Ready; }
};

// The phones listed after the "List of devices attached" header, in adb's order. The daemon's
// start-up lines, blank lines and CRLF line ends are passed over; no header, no phones. A serial
// may hold spaces (mDNS names do): the state and the key:value words are read from the line's end.
std::vector<AttachedPhone> ParseDeviceList(std::string_view devicesOutput);

// The phones among them that are ready to use.
std::vector<AttachedPhone> ReadyPhones(const std::vector<AttachedPhone>& phones);

// The most useful state among the phones (a ready phone wins, then one that needs the user's
// consent, then one that needs permissions).
PhoneState BestPhoneState(const std::vector<AttachedPhone>& phones);

// The same of the listed phones (a ready phone wins, then one that needs the
// user's consent, then one that needs permissions).
PhoneState ParsePhoneState(std::string_view devicesOutput);

// The one-line hint for a phone that is there but not ready; empty for Absent and Ready.
std::string_view PhoneStateHint(PhoneState state);

}  // namespace tarnel
