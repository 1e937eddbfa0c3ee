#include "client/core/user_settings.h"

#include <cstdlib>

#include "platform/folders.h"
#include "platform/ini_profile.h"

namespace tarnel {
namespace {

constexpr const char* kSection = "SET";
// The value was always read into a buffer of 20 bytes.
constexpr size_t kMaxValueLength = 19;

}  // namespace

int SettingValue(const std::string& text) {
    const std::string kept = text.substr(0, kMaxValueLength);
    return std::strtol(kept.c_str(), nullptr, 10) == 1 ? 1 : 0;
}

UserSettings::UserSettings() : file_(UserConfigFolder() / "tarnelUser.ini") {}

int UserSettings::AskPrompt() const {
    return Read("askprompt");
}

int UserSettings::ExitApp() const {
    return Read("exitapp");
}

bool UserSettings::WriteAskPrompt(int value) const {
    return Write("askprompt", value);
}

bool UserSettings::WriteExitApp(int value) const {
    return Write("exitapp", value);
}

int UserSettings::Read(const char* key) const {
    return SettingValue(IniProfile(file_).Read(kSection, key, "0"));
}

bool UserSettings::Write(const char* key, int value) const {
    return IniProfile(file_).Write(kSection, key, std::to_string(value));
}

}  // namespace tarnel
