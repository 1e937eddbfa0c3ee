#include "platform/ini_profile.h"

// Narrow text only: values are kept byte for byte in the process encoding.
#define SI_NO_CONVERSION
#include <SimpleIni.h>

#include <system_error>

#include "platform/atomic_file.h"

namespace tarnel {

std::string IniProfile::Read(const std::string& section, const std::string& key,
                             const std::string& fallback) const {
    CSimpleIniA ini;
    if (ini.LoadFile(path_.c_str()) < 0)
        return fallback;
    return ini.GetValue(section.c_str(), key.c_str(), fallback.c_str());
}

bool IniProfile::Write(const std::string& section, const std::string& key,
                       const std::string& value) {
    CSimpleIniA ini;
    std::error_code error;
    if (std::filesystem::exists(path_, error) && ini.LoadFile(path_.c_str()) < 0)
        return false;
    ini.SetValue(section.c_str(), key.c_str(), value.c_str());
    std::string data;
    if (ini.Save(data) < 0)
        return false;
    return WriteFileAtomically(path_, data);
}

}  // namespace tarnel
