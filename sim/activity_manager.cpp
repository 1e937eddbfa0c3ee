#include "sim/activity_manager.h"

#include "sim/companion_app.h"

namespace tarnel::sim {

ActivityManager::ActivityManager(const Scenario& scenario, const PackageManager& packages,
                                 const PhoneFileSystem& files)
    : scenario_(scenario), packages_(packages), files_(files) {}

ActivityStart ActivityManager::Start(std::string_view component) {
    const size_t slash = component.find('/');
    if (slash == std::string_view::npos || slash == 0 || slash + 1 == component.size()) {
        return {false, "Error: Bad component name: " + std::string(component) + "\n"};
    }
    const std::string package(component.substr(0, slash));
    std::string activity(component.substr(slash + 1));
    if (activity.starts_with('.')) {
        activity = package + activity;
    }
    std::string text = "Starting: Intent { cmp=" + std::string(component) + " }\n";
    if (!packages_.Find(package)) {
        text += "Error type 3\nError: Activity class {" + package + "/" + activity +
                "} does not exist.\n";
        return {false, text};
    }
    {
        std::lock_guard lock(mutex_);
        running_.insert(package);
    }
    if (package == kCompanionPackage && activity == kCompanionGuideActivity) {
        tasks_.After(std::chrono::milliseconds(scenario_.companionDelayMs),
                     [this] { WriteDeviceFacts(scenario_, files_); });
    }
    return {true, text};
}

std::vector<std::string> ActivityManager::RunningApps() const {
    std::lock_guard lock(mutex_);
    return {running_.begin(), running_.end()};
}

}  // namespace tarnel::sim
