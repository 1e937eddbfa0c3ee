#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tarnel::sim {

// Where a device path lives on the host once aliases, letter case and links are settled.
struct HostLocation {
    std::filesystem::path host;  // always under the phone's root folder
    std::string device;          // the device path, in the letter case found on disk
    int error = 0;               // errno when the path may not or cannot be reached
};

// Lookup only stats a path: the shell may do that anywhere, as /data is searchable.
enum class Access { Lookup, Read, Write };
enum class FinalLink { Follow, Keep };

// The phone's file tree, kept in a folder on the host. Nothing a client names gets out of that
// folder: ".." stops at the phone's root and links resolve inside it, as in a chroot. Shared
// storage (/sdcard, also reached as /mnt/sdcard and /storage/emulated/0) ignores letter case
// like a phone's: a name finds an entry whatever its case, a new entry keeps the case it was
// given. The shell user may write only to shared storage and /data/local/tmp, and may not look
// into the rest of /data; root may do anything.
class PhoneFileSystem {
  public:
    PhoneFileSystem(std::filesystem::path root, uint64_t sharedStorageCapacity);

    const std::filesystem::path& Root() const { return root_; }

    // The folders every phone has. Throws std::filesystem::filesystem_error.
    void CreateLayout();

    HostLocation Locate(std::string_view devicePath, Access access, bool asRoot,
                        FinalLink finalLink = FinalLink::Follow) const;

    // mkdir -p; 0 or an errno.
    int MakeDirectories(std::string_view devicePath, bool asRoot) const;

    static bool IsSharedStorage(const HostLocation& location);

    // Space that pushes to shared storage may still take.
    bool ReserveSharedStorage(uint64_t bytes);
    void ReleaseSharedStorage(uint64_t bytes);

  private:
    int PermissionError(const std::vector<std::string>& parts, Access access, bool asRoot) const;

    std::filesystem::path root_;
    const uint64_t capacity_;
    std::atomic<uint64_t> used_{0};
};

}  // namespace tarnel::sim
