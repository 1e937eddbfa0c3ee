#include "installer/package/output_tree.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>
#include <utility>

#include "platform/unique_fd.h"

namespace tarnel {

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

std::string Failure(const char* what, const std::string& name) {
    return std::string(what) + " " + name + ": " + std::strerror(errno);
}

// Opens or creates the folder name in parent. Something else of that name is removed first.
int EnterFolder(int parent, const std::string& name, std::string* error) {
    // At most: remove what is in the way, create, open.
    for (int attempt = 0; attempt < 3; ++attempt) {
        int fd = openat(parent, name.c_str(), kFolderFlags);
        if (fd >= 0) {
            return fd;
        }
        if (errno == ENOENT) {
            if (mkdirat(parent, name.c_str(), 0755) != 0 && errno != EEXIST) {
                *error = Failure("cannot create folder", name);
                return -1;
            }
            continue;
        }
        if (errno == ENOTDIR || errno == ELOOP) {
            if (unlinkat(parent, name.c_str(), 0) != 0) {
                *error = Failure("cannot replace", name);
                return -1;
            }
            continue;
        }
        *error = Failure("cannot open folder", name);
        return -1;
    }
    *error = "cannot create folder " + name;
    return -1;
}

}  // namespace

std::string JoinComponents(const std::vector<std::string>& components) {
    std::string joined;
    for (const std::string& component : components) {
        if (!joined.empty()) {
            joined += '/';
        }
        joined += component;
    }
    return joined;
}

std::optional<OutputTree> OutputTree::Open(const std::filesystem::path& root, std::string* error) {
    std::error_code failure;
    std::filesystem::create_directories(root, failure);
    if (failure) {
        *error = "cannot create folder " + root.string() + ": " + failure.message();
        return std::nullopt;
    }
    unique_fd fd(open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd) {
        *error = Failure("cannot open folder", root.string());
        return std::nullopt;
    }
    return OutputTree(std::move(fd), root);
}

OutputTree::OutputTree(unique_fd fd, std::filesystem::path root)
    : fd_(std::move(fd)), root_(std::move(root)) {}

bool OutputTree::MakeFolders(const std::vector<std::string>& components, std::string* error) const {
    unique_fd current;
    for (const std::string& component : components) {
        current = unique_fd(EnterFolder(current ? current.Get() : fd_.Get(), component, error));
        if (!current) {
            return false;
        }
    }
    return true;
}

unique_fd OutputTree::OpenParent(const std::vector<std::string>& components,
                                 std::string* error) const {
    unique_fd parent(fcntl(fd_.Get(), F_DUPFD_CLOEXEC, 0));
    for (size_t at = 0; parent && at + 1 < components.size(); ++at) {
        parent = unique_fd(openat(parent.Get(), components[at].c_str(), kFolderFlags));
    }
    if (!parent && error != nullptr) {
        *error = Failure("cannot open the folder of", JoinComponents(components));
    }
    return parent;
}

int OutputTree::CreateFile(const std::vector<std::string>& components, mode_t mode,
                           std::string* error) const {
    if (components.empty()) {
        *error = "no file name";
        return -1;
    }
    const unique_fd parent = OpenParent(components, error);
    if (!parent) {
        return -1;
    }
    const std::string& name = components.back();
    constexpr int kFlags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    unique_fd fd(openat(parent.Get(), name.c_str(), kFlags, mode));
    if (!fd && errno == EEXIST) {
        // Replacing by unlinking, not truncating: a read-only copy from an earlier unpack goes
        // too, and a link of that name is never written through.
        if (unlinkat(parent.Get(), name.c_str(), 0) != 0) {
            *error = Failure("cannot replace", JoinComponents(components));
            return -1;
        }
        fd = unique_fd(openat(parent.Get(), name.c_str(), kFlags, mode));
    }
    if (!fd) {
        *error = Failure("cannot create", JoinComponents(components));
    }
    return fd.Release();
}

void OutputTree::RemoveFile(const std::vector<std::string>& components) const {
    if (const unique_fd parent = OpenParent(components, nullptr); parent && !components.empty()) {
        unlinkat(parent.Get(), components.back().c_str(), 0);
    }
}

}  // namespace tarnel
