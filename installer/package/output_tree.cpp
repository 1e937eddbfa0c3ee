#include "installer/package/output_tree.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>
#include <utility>

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
    const int fd = open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        *error = Failure("cannot open folder", root.string());
        return std::nullopt;
    }
    return OutputTree(fd, root);
}

OutputTree::OutputTree(int fd, std::filesystem::path root) : fd_(fd), root_(std::move(root)) {}

OutputTree::OutputTree(OutputTree&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), root_(std::move(other.root_)) {}

OutputTree& OutputTree::operator=(OutputTree&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) {
            close(fd_);
        }
        fd_ = std::exchange(other.fd_, -1);
        root_ = std::move(other.root_);
    }
    return *this;
}

OutputTree::~OutputTree() {
    if (fd_ >= 0) {
        close(fd_);
    }
}

bool OutputTree::MakeFolders(const std::vector<std::string>& components, std::string* error) const {
    int current = fd_;
    for (const std::string& component : components) {
        const int next = EnterFolder(current, component, error);
        if (current != fd_) {
            close(current);
        }
        if (next < 0) {
            return false;
        }
        current = next;
    }
    if (current != fd_) {
        close(current);
    }
    return true;
}

int OutputTree::CreateFile(const std::vector<std::string>& components, mode_t mode,
                           std::string* error) const {
    const std::string relative = JoinComponents(components);
    constexpr int kFlags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    int fd = openat(fd_, relative.c_str(), kFlags, mode);
    if (fd < 0 && errno == EEXIST) {
        // Replacing by unlinking, not truncating: a read-only copy from an earlier unpack goes
        // too, and a link of that name is never written through.
        if (unlinkat(fd_, relative.c_str(), 0) != 0) {
            *error = Failure("cannot replace", relative);
            return -1;
        }
        fd = openat(fd_, relative.c_str(), kFlags, mode);
    }
    if (fd < 0) {
        *error = Failure("cannot create", relative);
    }
    return fd;
}

void OutputTree::RemoveFile(const std::vector<std::string>& components) const {
    unlinkat(fd_, JoinComponents(components).c_str(), 0);
}

}  // namespace tarnel
