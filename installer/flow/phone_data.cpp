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

// Kept aside under this suffix while the new data goes up.
constexpr const char* kBackupSuffix = ".tarnel-old";

// Whether a phone folder is the game's own obb or data folder or lies inside one.
bool InGameFolder(const std::string& remote, const std::string& packageName) {
    if (packageName.empty())
        return false;
    for (const char* kind : {"/obb/", "/data/"}) {
        const std::string folder = kPhoneDataRoot + std::string(kind) + packageName;
        if (remote.size() >= folder.size() &&
            strncasecmp(remote.c_str(), folder.c_str(), folder.size()) == 0 &&
            (remote.size() == folder.size() || remote[folder.size()] == '/'))
            return true;
    }
    return false;
}

// Copies aside that a run left when the phone hung or went before its clean-up: each is moved
// back over the file it was taken from, which that run may have half written, so that the phone
// holds the earlier data again. Only files are ever set aside: anything else named so is not
// ours. Gives whether anything moved.
bool UndoInterruptedRun(DeviceBridge& bridge, const std::string& remote,
                        const std::vector<DeviceBridge::DeviceFile>& files) {
    const std::string_view suffix = kBackupSuffix;
    bool moved = false;
    for (const DeviceBridge::DeviceFile& aside : files) {
        if (!S_ISREG(aside.mode) || aside.name.size() <= suffix.size() ||
            !aside.name.ends_with(suffix))
            continue;
        std::string original = aside.name.substr(0, aside.name.size() - suffix.size());
        const auto present = std::find_if(files.begin(), files.end(), [&](const auto& file) {
            return strcasecmp(file.name.c_str(), original.c_str()) == 0;
        });
        if (present != files.end()) {
            if (!S_ISREG(present->mode))
                continue;
            original = present->name;
        }
        moved =
            bridge.MoveDevicePaths({{remote + "/" + aside.name, remote + "/" + original}}) || moved;
    }
    return moved;
}

void Compare(DeviceBridge& bridge, const fs::path& local, const std::string& remote,
             PhoneDataPlan& plan) {
    DeviceBridge::DeviceListing listing = bridge.ListDeviceFolder(remote);
    if (listing.state == DeviceBridge::DeviceListing::State::Missing) {
        plan.added.push_back(remote);
        return;
    }
    if (listing.state != DeviceBridge::DeviceListing::State::Listed) {
        return;
    }
    std::vector<DeviceBridge::DeviceFile> files = bridge.ListDeviceFiles(remote);
    if (InGameFolder(remote, bridge.packageName) && UndoInterruptedRun(bridge, remote, files)) {
        listing = bridge.ListDeviceFolder(remote);
        if (listing.state != DeviceBridge::DeviceListing::State::Listed)
            return;
        files = bridge.ListDeviceFiles(remote);
    }
    std::error_code error;
    for (fs::directory_iterator it(local, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        const std::string child = remote + "/" + name;
        std::error_code typeError;
        if (!Holds(listing.names, name)) {
            plan.added.push_back(child);
        } else if (it->is_directory(typeError) && !it->is_symlink(typeError)) {
            Compare(bridge, it->path(), child, plan);
        } else if (!Holds(listing.names, name + kBackupSuffix) && it->is_regular_file(typeError) &&
                   Differs(files, *it)) {
            // The push leaves a file of the same size and time as it is (adb push --sync).
            // (A copy still aside could not be put back: never overwritten.)
            plan.replaced.push_back(child);
        }
    }
}

}  // namespace

PhoneDataPlan PlanPhoneData(DeviceBridge& bridge, const fs::path& dataFolder) {
    PhoneDataPlan plan;
    Compare(bridge, dataFolder, kPhoneDataRoot, plan);
    // The phone's own Android folder is never this run's to remove.
    std::erase(plan.added, std::string(kPhoneDataRoot));
    return plan;
}

PhoneDataGuard::PhoneDataGuard(const DeviceBridge& bridge, PhoneDataPlan plan)
    : bridge_(bridge), plan_(std::move(plan)) {
    bridge_.stopToken = {};
}

std::vector<std::pair<std::string, std::string>> PhoneDataGuard::Backups(bool back) const {
    std::vector<std::pair<std::string, std::string>> moves;
    for (const std::string& path : plan_.replaced) {
        const std::string aside = path + kBackupSuffix;
        moves.emplace_back(back ? aside : path, back ? path : aside);
    }
    return moves;
}

bool PhoneDataGuard::Prepare() {
    if (bridge_.MoveDevicePaths(Backups(false)))
        return true;
    // Whatever did move goes back; a file that did not has nothing to return.
    for (const auto& move : Backups(true))
        bridge_.MoveDevicePaths({move});
    return false;
}

void PhoneDataGuard::Restore() {
    std::vector<std::string> pushed = plan_.added;
    pushed.insert(pushed.end(), plan_.replaced.begin(), plan_.replaced.end());
    bridge_.RemoveDevicePaths(pushed);
    bridge_.MoveDevicePaths(Backups(true));
}

void PhoneDataGuard::Commit() {
    std::vector<std::string> asides;
    for (const auto& move : Backups(false))
        asides.push_back(move.second);
    bridge_.RemoveDevicePaths(asides);
}

}  // namespace tarnel
