#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "bridge/device_bridge.h"

namespace tarnel {

// Where a package's data folder lands on the phone: the "android" folder is pushed to /sdcard/.
inline constexpr const char* kPhoneDataRoot = "/sdcard/Android";

// What pushing a data folder does to the phone, found before the push, so that a failed
// installation can leave the game's earlier data as it was.
struct PhoneDataPlan {
    std::vector<std::string> added;     // files and folders the phone lacks
    std::vector<std::string> replaced;  // files the phone has otherwise, which the push overwrites
};

// Where the phone cannot say what a folder holds, nothing under it is planned; such data is
// neither removed nor kept aside. Copies that an interrupted run left aside in the game's own
// folders are put back first, so that the plan starts from the earlier data.
PhoneDataPlan PlanPhoneData(DeviceBridge& bridge, const std::filesystem::path& dataFolder);

// Keeps the game's earlier data through a push: Prepare moves the files the push would replace
// aside; after a failure Restore removes what the push added and moves them back; after a
// success Commit removes them. Runs even after a stop request.
class PhoneDataGuard {
  public:
    PhoneDataGuard(const DeviceBridge& bridge, PhoneDataPlan plan);
    bool Prepare();
    void Restore();
    void Commit();

  private:
    std::vector<std::pair<std::string, std::string>> Backups(bool back) const;

    DeviceBridge bridge_;
    PhoneDataPlan plan_;
};

}  // namespace tarnel
