#include "platform/ini_profile.h"

// Narrow text only: values are kept byte for byte in the process encoding.
#define SI_NO_CONVERSION
#include <SimpleIni.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <system_error>

#include "platform/unique_fd.h"

namespace tarnel {
namespace {

bool WriteWhole(int fd, const std::string& data) {
    size_t done = 0;
    while (done < data.size()) {
        ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

bool ReplaceAtomically(const std::filesystem::path& path, const std::string& data) {
    std::error_code ignored;
    if (path.has_parent_path())
        std::filesystem::create_directories(path.parent_path(), ignored);
    std::string temporary = path.string() + ".XXXXXX";
    unique_fd fd(::mkstemp(temporary.data()));
    if (!fd)
        return false;
    bool ok = WriteWhole(fd.Get(), data) && ::fchmod(fd.Get(), 0644) == 0 && ::fsync(fd.Get()) == 0;
    ok = fd.Close() && ok;
    if (ok && std::rename(temporary.c_str(), path.c_str()) == 0)
        return true;
    ::unlink(temporary.c_str());
    return false;
}

}  // namespace

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
    return ReplaceAtomically(path_, data);
}

}  // namespace tarnel
