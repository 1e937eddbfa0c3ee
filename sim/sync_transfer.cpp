#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

#include "sim/sync_service.h"

namespace tarnel::sim {

namespace {

std::string Reason(std::string_view what, int error) {
    return std::string(what) + ": " + std::strerror(error);
}

std::string ParentOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos || slash == 0 ? "/" : path.substr(0, slash);
}

// One file arriving: written under a temporary name beside its target and moved into place
// only when complete, so a failed or cut-off push leaves nothing behind.
class IncomingFile {
  public:
    IncomingFile(PhoneFileSystem& files, HostLocation target)
        : files_(files), target_(std::move(target)) {}
    IncomingFile(const IncomingFile&) = delete;
    IncomingFile& operator=(const IncomingFile&) = delete;
    ~IncomingFile() { Discard(); }

    // Empty, or why the file cannot be written.
    std::string Open() {
        partial_ = target_.host.parent_path() /
                   ("." + target_.host.filename().string() + ".phonesim-partial");
        fd_ = open(partial_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0660);
        return fd_ < 0 ? Reason("couldn't create file", errno) : "";
    }

    std::string Write(std::string_view bytes) {
        if (PhoneFileSystem::IsSharedStorage(target_)) {
            if (!files_.ReserveSharedStorage(bytes.size())) {
                return Reason("write failed", ENOSPC);
            }
            reserved_ += bytes.size();
        }
        while (!bytes.empty()) {
            const ssize_t written = write(fd_, bytes.data(), bytes.size());
            if (written < 0) {
                return Reason("write failed", errno);
            }
            bytes.remove_prefix(static_cast<size_t>(written));
        }
        return "";
    }

    std::string Finish(uint32_t mtime, mode_t mode) {
        const timespec times[2] = {{mtime, 0}, {mtime, 0}};
        futimens(fd_, times);
        if (!PhoneFileSystem::IsSharedStorage(target_)) {
            fchmod(fd_, mode & 0777);
        }
        const int closed = close(fd_);
        fd_ = -1;
        if (closed != 0) {
            return Reason("write failed", errno);
        }
        struct stat previous {};
        const bool replacing =
            lstat(target_.host.c_str(), &previous) == 0 && S_ISREG(previous.st_mode);
        if (rename(partial_.c_str(), target_.host.c_str()) != 0) {
            return Reason("couldn't create file", errno);
        }
        partial_.clear();
        reserved_ = 0;
        if (replacing && PhoneFileSystem::IsSharedStorage(target_)) {
            files_.ReleaseSharedStorage(static_cast<uint64_t>(previous.st_size));
        }
        return "";
    }

    void Discard() {
        if (fd_ >= 0) {
            close(fd_);
            fd_ = -1;
        }
        if (!partial_.empty()) {
            unlink(partial_.c_str());
            partial_.clear();
        }
        files_.ReleaseSharedStorage(reserved_);
        reserved_ = 0;
    }

  private:
    PhoneFileSystem& files_;
    const HostLocation target_;
    std::filesystem::path partial_;
    int fd_ = -1;
    uint64_t reserved_ = 0;
};

// Why the target cannot be created, or empty; parent folders are made as adbd makes them.
std::string PrepareTarget(PhoneFileSystem& files, const std::string& path,
                          const HostLocation& target) {
    if (target.error != 0) {
        return Reason("couldn't create file", target.error);
    }
    if (const int error = files.MakeDirectories(ParentOf(target.device), false)) {
        return Reason("secure_mkdirs failed", error);
    }
    if (path.ends_with('/')) {
        return Reason("couldn't create file", EISDIR);
    }
    return "";
}

}  // namespace

bool ReceiveFile(SyncChannel& channel, Phone& phone, const std::string& pathAndMode) {
    const size_t comma = pathAndMode.rfind(',');
    if (comma == std::string::npos) {
        channel.Fail("missing file mode");
        return false;
    }
    const std::string path = pathAndMode.substr(0, comma);
    const mode_t mode =
        static_cast<mode_t>(std::strtoul(pathAndMode.c_str() + comma + 1, nullptr, 10));
    PhoneFileSystem& files = phone.Files();
    const HostLocation target = files.Locate(path, Access::Write, false);
    IncomingFile file(files, target);
    std::string failure = PrepareTarget(files, path, target);
    if (failure.empty() && S_ISLNK(mode)) {
        failure = "couldn't create symlink: Operation not permitted";
    }
    if (failure.empty()) {
        failure = file.Open();
    }
    // Like adbd: say FAIL at once, then swallow the data up to DONE and end the service.
    bool toldFailure = !failure.empty() && channel.Fail(failure);
    SyncRequest request;
    while (channel.ReadRequest(request)) {
        if (request.id == kSyncDone) {
            if (failure.empty()) {
                failure = file.Finish(request.length, mode);
            }
            if (failure.empty()) {
                std::string okay;
                AppendU32(okay, kSyncOkay);
                AppendU32(okay, 0);
                return channel.Write(okay);
            }
            if (!toldFailure) {
                channel.Fail(failure);
            }
            return false;
        }
        std::string data;
        if (request.id != kSyncData || request.length > kSyncLargestData) {
            channel.Fail("invalid data message");
            return false;
        }
        if (!channel.ReadBytes(request.length, data)) {
            return false;
        }
        if (failure.empty()) {
            failure = file.Write(data);
            if (!failure.empty()) {
                file.Discard();
                toldFailure = channel.Fail(failure);
            }
        }
    }
    return false;
}

bool SendFile(SyncChannel& channel, Phone& phone, const std::string& path) {
    const HostLocation location = phone.Files().Locate(path, Access::Read, false);
    const int fd = location.error == 0 ? open(location.host.c_str(), O_RDONLY | O_CLOEXEC) : -1;
    struct stat info {};
    int error = location.error != 0 ? location.error : (fd < 0 ? errno : 0);
    if (error == 0 && fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        error = EISDIR;
    }
    if (error != 0) {
        if (fd >= 0) {
            close(fd);
        }
        channel.Fail(Reason("open failed", error));
        return false;
    }
    std::string buffer(kSyncLargestData, '\0');
    for (;;) {
        const ssize_t got = read(fd, buffer.data(), buffer.size());
        if (got < 0) {
            channel.Fail(Reason("read failed", errno));
            close(fd);
            return false;
        }
        std::string record;
        AppendU32(record, got == 0 ? kSyncDone : kSyncData);
        AppendU32(record, static_cast<uint32_t>(got));
        record.append(buffer.data(), static_cast<size_t>(got));
        const bool written = channel.Write(record);
        if (!written || got == 0) {
            close(fd);
            return written;
        }
    }
}

}  // namespace tarnel::sim
