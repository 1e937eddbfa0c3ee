#include "platform/folders.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>

#include "platform/log.h"

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
    std::error_code error;
    if (const char* home = std::getenv("TARNEL_HOME"); home != nullptr && *home != '\0') {
        // Workers ask too: no exception, and no folder when the current one is gone.
        std::filesystem::path folder = std::filesystem::absolute(home, error);
        return error ? std::filesystem::path() : folder;
    }
    // Without /proc there is no trustworthy answer: the current directory could hold anyone's
    // tools/adb, so the caller gets "unknown" and looks on PATH instead.
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : exe.parent_path();
}

std::filesystem::path UserConfigFolder() {
    return XdgFolder("XDG_CONFIG_HOME", ".config");
}

std::filesystem::path UserCacheFolder() {
    return XdgFolder("XDG_CACHE_HOME", ".cache");
}

std::filesystem::path WorkTmpFolder() {
    std::error_code error;
    std::filesystem::path tmp = WorkTmpFolder(error);
    // The caller's own file operation fails next and says so; the cause goes to the log.
    if (error)
        LogLine("cannot create " + tmp.string() + ": " + error.message());
    return tmp;
}

std::filesystem::path WorkTmpFolder(std::error_code& error) {
    std::filesystem::path tmp = UserCacheFolder() / "tmp";
    std::filesystem::create_directories(tmp, error);
    if (!error && ::access(tmp.c_str(), W_OK | X_OK) != 0)
        error = std::error_code(errno, std::generic_category());
    return tmp;
}

}  // namespace tarnel
