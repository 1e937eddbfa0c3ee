#include "platform/tool_locator.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string_view>

#include "platform/folders.h"

namespace tarnel {
namespace {

bool IsExecutableFile(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error) && ::access(path.c_str(), X_OK) == 0;
}

std::string SearchPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string_view rest = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
    while (true) {
        size_t colon = rest.find(':');
        std::string_view folder = rest.substr(0, colon);
        if (!folder.empty() && folder.front() == '/') {
            std::filesystem::path candidate = std::filesystem::path(folder) / name;
            if (IsExecutableFile(candidate))
                return candidate.string();
        }
        if (colon == std::string_view::npos)
            return {};
        rest.remove_prefix(colon + 1);
    }
}

}  // namespace

std::string FindTool(const std::string& name, const char* overrideVariable) {
    if (const char* chosen = std::getenv(overrideVariable); chosen != nullptr && *chosen != '\0') {
        if (std::string_view(chosen).find('/') == std::string_view::npos)
            return SearchPath(chosen);
        std::filesystem::path path = std::filesystem::absolute(chosen);
        return IsExecutableFile(path) ? path.string() : std::string();
    }
    if (std::filesystem::path folder = ProgramFolder(); !folder.empty()) {
        std::filesystem::path bundled = folder / "tools" / name;
        if (IsExecutableFile(bundled))
            return bundled.string();
    }
    return SearchPath(name);
}

}  // namespace tarnel
