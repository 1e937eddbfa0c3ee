#pragma once

#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "sim/delayed_tasks.h"
#include "sim/package_manager.h"
#include "sim/phone_file_system.h"
#include "sim/scenario.h"

namespace tarnel::sim {

struct ActivityStart {
    bool started = false;
    std::string text;  // what "am start" prints
};

// Starts apps for "am start" and remembers which run. Starting the companion's guide activity
// makes it write the facts file once the scenario's delay has passed.
class ActivityManager {
  public:
    ActivityManager(const Scenario& scenario, const PackageManager& packages,
                    const PhoneFileSystem& files);

    // component: "package/activity" or "package/.activity".
    ActivityStart Start(std::string_view component);
    std::vector<std::string> RunningApps() const;

  private:
    const Scenario& scenario_;
    const PackageManager& packages_;
    const PhoneFileSystem& files_;
    mutable std::mutex mutex_;
    std::set<std::string> running_;
    DelayedTasks tasks_;  // last: stops before the members its work uses go away
};

}  // namespace tarnel::sim
