#include "installer/package/folder_tree.h"

#include <strings.h>

#include <string>
#include <system_error>

namespace tarnel {

namespace fs = std::filesystem;

std::uint64_t FolderByteSize(const fs::path& path) {
    std::uint64_t total = 0;
    std::error_code error;
    for (fs::recursive_directory_iterator it(path, error), end; !error && it != end;
         it.increment(error)) {
        std::error_code statError;
        if (it->is_regular_file(statError) && !it->is_symlink(statError)) {
            const std::uintmax_t size = it->file_size(statError);
            if (!statError) {
                total += size;
            }
        }
    }
    return total;
}

void RemoveFolderTree(const fs::path& path) {
    if (path.empty()) {
        return;
    }
    std::error_code error;
    const fs::file_status status = fs::symlink_status(path, error);
    if (error || !fs::is_directory(status)) {
        fs::remove(path, error);
        return;
    }
    // A folder without write permission keeps its entries; open it up before emptying it.
    fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, error);
    for (fs::directory_iterator it(path, error), end; !error && it != end; it.increment(error)) {
        RemoveFolderTree(it->path());
    }
    fs::remove(path, error);
}

std::optional<fs::path> FindNoCase(const fs::path& folder, std::string_view name) {
    std::error_code error;
    const fs::path exact = folder / name;
    if (fs::exists(fs::symlink_status(exact, error))) {
        return exact;
    }
    const std::string wanted(name);
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (strcasecmp(it->path().filename().c_str(), wanted.c_str()) == 0) {
            return it->path();
        }
    }
    return std::nullopt;
}

}  // namespace tarnel
