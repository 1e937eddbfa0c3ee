#include "installer/flow/phone_data.h"

#include <strings.h>
#include <sys/stat.h>

#include <algorithm>

namespace tarnel {

namespace {

namespace fs = std::filesystem;

bool Holds(const std::vector<std::string>& names, const std::string& name) {
    // Shared storage ignores letter case.
    return std::any_of(names.begin(), names.end(), [&](const std::string& each) {
        return strcasecmp(each.c_str(), name.c_str()) == 0;
    });
}

// Whether the phone's file differs from the local one as the push judges: by size and time.
bool Differs(const std::vector<DeviceBridge::DeviceFile>& files, const fs::directory_entry& local) {
    struct stat info {};
    if (::stat(local.path().c_str(), &info) != 0)
        return true;
    const std::string name = local.path().filename().string();
    for (const DeviceBridge::DeviceFile& file : files) {
        if (strcasecmp(file.name.c_str(), name.c_str()) == 0)
            return file.size != static_cast<std::uint64_t>(info.st_size) ||
                   file.modified != info.st_mtime;
    }
    return true;
}

void Compare(DeviceBridge& bridge, const fs::path& local, const std::string& remote,
             PhoneDataChange& change) {
    const DeviceBridge::DeviceListing listing = bridge.ListDeviceFolder(remote);
    if (listing.state == DeviceBridge::DeviceListing::State::Missing) {
        change.added.push_back(remote);
        return;
    }
    if (listing.state != DeviceBridge::DeviceListing::State::Listed) {
        return;
    }
    const std::vector<DeviceBridge::DeviceFile> files = bridge.ListDeviceFiles(remote);
    std::error_code error;
    for (fs::directory_iterator it(local, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        const std::string child = remote + "/" + name;
        std::error_code typeError;
        if (!Holds(listing.names, name)) {
            change.added.push_back(child);
        } else if (it->is_directory(typeError) && !it->is_symlink(typeError)) {
            Compare(bridge, it->path(), child, change);
        } else if (it->is_regular_file(typeError) && Differs(files, *it)) {
            change.replaced.push_back(child);
        }
    }
}

}  // namespace

PhoneDataChange PhoneDataThePushChanges(DeviceBridge& bridge, const fs::path& dataFolder) {
    PhoneDataChange change;
    Compare(bridge, dataFolder, kPhoneDataRoot, change);
    // The phone's own Android folder is never this run's to remove.
    std::erase(change.added, std::string(kPhoneDataRoot));
    return change;
}

}  // namespace tarnel
