#include "installer/flow/chosen_phone.h"

#include <system_error>

#include "platform/folders.h"
#include "platform/ini_profile.h"

namespace tarnel {
namespace {

IniProfile Settings() {
    return IniProfile(UserConfigFolder() / "tarnelInstall.ini");
}

}  // namespace

std::string LastChosenPhone() {
    return Settings().Read("PHONE", "serial");
}

void RememberChosenPhone(const std::string& serial) {
    // A choice that cannot be kept only costs the preselection next time.
    std::error_code ignored;
    std::filesystem::create_directories(UserConfigFolder(), ignored);
    Settings().Write("PHONE", "serial", serial);
}

}  // namespace tarnel
