#pragma once

#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <string_view>

#include "sim/activity_manager.h"
#include "sim/package_manager.h"
#include "sim/phone_file_system.h"
#include "sim/scenario.h"

namespace tarnel::sim {

// Everything one simulated phone is: its settings, files, packages and running apps. Shared by
// all connections and streams; each part guards its own state.
class Phone {
  public:
    Phone(Scenario scenario, const std::filesystem::path& root);

    const Scenario& Settings() const { return scenario_; }
    PhoneFileSystem& Files() { return files_; }
    PackageManager& Packages() { return packages_; }
    ActivityManager& Activities() { return activities_; }

    bool HasFeature(std::string_view name) const;
    // Android 10 on: the package manager knows no -s (install on the SD card).
    bool RefusesSdCardOption() const;
    // The identity string of the handshake: product, model, device and features.
    std::string Banner() const;
    // What getprop knows, by name.
    std::map<std::string, std::string> Properties() const;
    // The screen as a PNG file, painted once.
    const std::string& ScreenPng();

  private:
    Scenario scenario_;
    PhoneFileSystem files_;
    PackageManager packages_;
    ActivityManager activities_;
    std::once_flag screenPainted_;
    std::string screenPng_;
};

}  // namespace tarnel::sim
