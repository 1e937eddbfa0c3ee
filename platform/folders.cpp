#include "platform/folders.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>

namespace tarnel {
namespace {

std::filesystem::path HomeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0')
        return home;
    if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr)
        return entry->pw_dir;
    return "/tmp";
}

// An XDG variable counts only when it holds an absolute path.
std::filesystem::path XdgFolder(const char* variable, const char* fallbackUnderHome) {
    if (const char* value = std::getenv(variable); value != nullptr && value[0] == '/') {
        return std::filesystem::path(value) / "tarnel";
    }
    return HomeFolder() / fallbackUnderHome / "tarnel";
}

}  // namespace

std::filesystem::path ProgramFolder() {
    if (const char* home = std::getenv("TARNEL_HOME"); home != nullptr && *home != '\0') {
        return std::filesystem::absolute(home);
    }
    std::error_code error;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::current_path() : exe.parent_path();
}

std::filesystem::path UserConfigFolder() {
    return XdgFolder("XDG_CONFIG_HOME", ".config");
}

std::filesystem::path UserCacheFolder() {
    return XdgFolder("XDG_CACHE_HOME", ".cache");
}

std::filesystem::path WorkTmpFolder() {
    std::error_code ignored;
    return WorkTmpFolder(ignored);
}

std::filesystem::path WorkTmpFolder(std::error_code& error) {
    std::filesystem::path tmp = UserCacheFolder() / "tmp";
    std::filesystem::create_directories(tmp, error);
    if (!error && ::access(tmp.c_str(), W_OK | X_OK) != 0)
        error = std::error_code(errno, std::generic_category());
    return tmp;
}

}  // namespace tarnel
