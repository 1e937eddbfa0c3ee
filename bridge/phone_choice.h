#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "bridge/phone_state.h"

namespace tarnel {

// Which phone a command goes to, from adb's list and the user's wish (--serial, else
// ANDROID_SERIAL as adb itself reads it).
struct PhoneChoice {
    enum class Outcome {
        Chosen,         // serial names the phone
        NoPhone,        // nothing ready
        NotAttached,    // the wished phone is not among the ready ones
        SeveralPhones,  // more than one ready and no wish: ready lists them
    };
    Outcome outcome = Outcome::NoPhone;
    std::string serial;
    std::vector<AttachedPhone> ready;
};

PhoneChoice ChoosePhone(const std::vector<AttachedPhone>& listed, std::string_view wanted);

// The wished phone: the option when given, else the environment's ANDROID_SERIAL (may be null).
std::string WantedSerial(std::string_view option, const char* androidSerial);

// "SERIAL  MODEL" lines, one a phone, for a listing the user chooses from.
std::string PhoneLines(const std::vector<AttachedPhone>& phones);

// How a phone is named to the user: its model (adb's '_' shown as blanks) and serial.
std::string PhoneLabel(const AttachedPhone& phone);

// Texts in UTF-8 for the command lines.
inline constexpr std::string_view kSeveralPhonesListed =
    "连接了多部手机，请用 --serial 选择其中一部（或设置 ANDROID_SERIAL）：";
inline constexpr std::string_view kPhoneNotAttached = "没有连接这部手机：";

}  // namespace tarnel
