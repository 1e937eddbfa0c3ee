#include "installer/flow/phone_data.h"

#include <strings.h>

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

void Compare(DeviceBridge& bridge, const fs::path& local, const std::string& remote,
             std::vector<std::string>& added) {
    const DeviceBridge::DeviceListing listing = bridge.ListDeviceFolder(remote);
    if (listing.state == DeviceBridge::DeviceListing::State::Missing) {
        added.push_back(remote);
        return;
    }
    if (listing.state != DeviceBridge::DeviceListing::State::Listed) {
        return;
    }
    std::error_code error;
    for (fs::directory_iterator it(local, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        const std::string child = remote + "/" + name;
        std::error_code typeError;
        if (!Holds(listing.names, name)) {
            added.push_back(child);
        } else if (it->is_directory(typeError) && !it->is_symlink(typeError)) {
            Compare(bridge, it->path(), child, added);
        }
    }
}

}  // namespace

std::vector<std::string> DataThePushWouldAdd(DeviceBridge& bridge, const fs::path& dataFolder) {
    std::vector<std::string> added;
    Compare(bridge, dataFolder, kPhoneDataRoot, added);
    // The phone's own Android folder is never this run's to remove.
    std::erase(added, std::string(kPhoneDataRoot));
    return added;
}

}  // namespace tarnel
