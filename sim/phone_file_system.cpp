#include "sim/phone_file_system.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <memory>

namespace tarnel::sim {

namespace {

using Parts = std::vector<std::string>;

constexpr int kMaxLinkHops = 40;

// Splits a device path into names, settling "." and ".." without ever climbing above "/".
void AppendParts(std::string_view path, Parts& parts) {
    while (!path.empty()) {
        const size_t slash = path.find('/');
        const std::string_view name = path.substr(0, slash);
        path = slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
        if (name.empty() || name == ".") {
            continue;
        }
        if (name == "..") {
            if (!parts.empty()) {
                parts.pop_back();
            }
            continue;
        }
        parts.emplace_back(name);
    }
}

bool StartsWith(const Parts& parts, std::initializer_list<std::string_view> prefix) {
    if (parts.size() < prefix.size()) {
        return false;
    }
    size_t i = 0;
    for (std::string_view name : prefix) {
        if (parts[i++] != name) {
            return false;
        }
    }
    return true;
}

// The other names Android gives shared storage.
void SettleAliases(Parts& parts) {
    if (StartsWith(parts, {"mnt", "sdcard"})) {
        parts.erase(parts.begin());
    } else if (StartsWith(parts, {"storage", "emulated", "0"}) ||
               StartsWith(parts, {"storage", "self", "primary"})) {
        parts.erase(parts.begin(), parts.begin() + 2);
        parts[0] = "sdcard";
    }
}

Parts SplitDevicePath(std::string_view path) {
    Parts parts;
    AppendParts(path, parts);
    SettleAliases(parts);
    return parts;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

// The existing entry of `folder` that `name` means on case-blind storage, else `name` itself.
std::string MatchIgnoringCase(const std::filesystem::path& folder, const std::string& name) {
    struct stat info;
    if (lstat((folder / name).c_str(), &info) == 0) {
        return name;
    }
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
    if (!dir) {
        return name;
    }
    while (const dirent* entry = readdir(dir.get())) {
        if (EqualIgnoringCase(entry->d_name, name)) {
            return entry->d_name;
        }
    }
    return name;
}

std::string Join(const Parts& parts, size_t from = 0) {
    std::string path;
    for (size_t i = from; i < parts.size(); ++i) {
        path += "/" + parts[i];
    }
    return path;
}

}  // namespace

PhoneFileSystem::PhoneFileSystem(std::filesystem::path root, uint64_t sharedStorageCapacity)
    : root_(std::filesystem::absolute(root).lexically_normal()), capacity_(sharedStorageCapacity) {}

void PhoneFileSystem::CreateLayout() {
    std::filesystem::create_directories(root_);
    for (const char* folder : {"/sdcard/Android/data", "/sdcard/Android/obb", "/sdcard/DCIM",
                               "/sdcard/Download", "/data/local/tmp", "/data/app", "/data/data"}) {
        if (const int error = MakeDirectories(folder, true)) {
            throw std::filesystem::filesystem_error(
                "cannot create the phone's folders", root_ / (folder + 1),
                std::error_code(error, std::generic_category()));
        }
    }
}

HostLocation PhoneFileSystem::Locate(std::string_view devicePath, Access access, bool asRoot,
                                     FinalLink finalLink) const {
    HostLocation location;
    if (devicePath.find('\0') != std::string_view::npos) {
        location.host = root_;
        location.error = EINVAL;
        return location;
    }
    Parts pending = SplitDevicePath(devicePath);
    Parts found;
    std::filesystem::path host = root_;
    int hops = 0;
    for (size_t i = 0; i < pending.size();) {
        const bool last = i + 1 == pending.size();
        const bool caseBlind = !found.empty() && found[0] == "sdcard";
        const std::string name = caseBlind ? MatchIgnoringCase(host, pending[i]) : pending[i];
        const std::filesystem::path next = host / name;
        struct stat info;
        const bool exists = lstat(next.c_str(), &info) == 0;
        if (exists && S_ISLNK(info.st_mode) && (!last || finalLink == FinalLink::Follow)) {
            if (++hops > kMaxLinkHops) {
                location.error = ELOOP;
                break;
            }
            std::string target(PATH_MAX, '\0');
            const ssize_t length = readlink(next.c_str(), target.data(), target.size());
            target.resize(length < 0 ? 0 : static_cast<size_t>(length));
            // An absolute target means the phone's root, never the host's.
            std::string rewritten = target.starts_with('/') ? target : Join(found) + "/" + target;
            pending = SplitDevicePath(rewritten + Join(pending, i + 1));
            found.clear();
            host = root_;
            i = 0;
            continue;
        }
        host = next;
        found.push_back(name);
        ++i;
        if (exists && !last && !S_ISDIR(info.st_mode)) {
            location.error = ENOTDIR;
            break;
        }
    }
    location.host = host;
    location.device = found.empty() ? "/" : Join(found);
    if (location.error == 0) {
        location.error = PermissionError(found, access, asRoot);
    }
    return location;
}

int PhoneFileSystem::PermissionError(const Parts& parts, Access access, bool asRoot) const {
    if (asRoot || access == Access::Lookup) {
        return 0;
    }
    const bool inTmp = StartsWith(parts, {"data", "local", "tmp"});
    const bool inData = StartsWith(parts, {"data"});
    if (access == Access::Read) {
        return inData && !inTmp ? EACCES : 0;
    }
    if ((StartsWith(parts, {"sdcard"}) && parts.size() > 1) || (inTmp && parts.size() > 3)) {
        return 0;
    }
    return inData || StartsWith(parts, {"sdcard"}) ? EACCES : EROFS;
}

int PhoneFileSystem::MakeDirectories(std::string_view devicePath, bool asRoot) const {
    const Parts parts = SplitDevicePath(devicePath);
    for (size_t count = 1; count <= parts.size(); ++count) {
        const Parts prefix(parts.begin(), parts.begin() + static_cast<long>(count));
        const HostLocation location = Locate(Join(prefix), Access::Write, asRoot);
        struct stat info;
        if (stat(location.host.c_str(), &info) == 0) {
            if (!S_ISDIR(info.st_mode)) {
                return ENOTDIR;
            }
            continue;
        }
        if (location.error != 0) {
            return location.error;
        }
        if (mkdir(location.host.c_str(), 0771) != 0 && errno != EEXIST) {
            return errno;
        }
    }
    return 0;
}

bool PhoneFileSystem::IsSharedStorage(const HostLocation& location) {
    return location.device == "/sdcard" || location.device.starts_with("/sdcard/");
}

bool PhoneFileSystem::ReserveSharedStorage(uint64_t bytes) {
    uint64_t used = used_.load();
    do {
        if (bytes > capacity_ || used > capacity_ - bytes) {
            return false;
        }
    } while (!used_.compare_exchange_weak(used, used + bytes));
    return true;
}

void PhoneFileSystem::ReleaseSharedStorage(uint64_t bytes) {
    // Files the phone started with were never reserved: never go below nothing.
    uint64_t used = used_.load();
    while (!used_.compare_exchange_weak(used, used > bytes ? used - bytes : 0)) {
    }
}

}  // namespace tarnel::sim
