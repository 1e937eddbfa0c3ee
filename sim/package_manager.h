#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/phone_file_system.h"
#include "sim/scenario.h"

namespace tarnel::sim {

struct InstalledPackage {
    std::string name;
    std::string versionName;
    int64_t versionCode = 1;
    bool system = false;
    std::string codePath;  // device folder that holds the APK
};

struct InstallOptions {
    bool replace = false;         // -r
    bool external = false;        // -s
    bool allowDowngrade = false;  // -d
};

struct PackageResult {
    bool succeeded = false;
    std::string text;  // "Success" or pm's "Failure [...]"
};

// The phone's installed packages. Installs read the APK's name and version with aapt and fail the
// way pm does: not an APK, too big for the free space, no SD card for -s, an older version than
// the one installed, already installed without -r, or whatever the scenario dictates.
class PackageManager {
  public:
    PackageManager(const Scenario& scenario, PhoneFileSystem& files);

    std::vector<InstalledPackage> List() const;
    std::optional<InstalledPackage> Find(std::string_view name) const;
    // The failures known before the APK is read (the scenario's, no SD card, too big); a
    // streamed install asks first so that it need not keep an APK it would refuse anyway.
    std::optional<PackageResult> RefuseEarly(uint64_t size, const InstallOptions& options,
                                             std::string_view packageName = {}) const;
    PackageResult Install(const std::filesystem::path& apk, const InstallOptions& options);
    PackageResult Uninstall(std::string_view name);

  private:
    PackageResult Fail(std::string_view code, std::string_view packageName) const;

    const Scenario& scenario_;
    PhoneFileSystem& files_;
    mutable std::mutex mutex_;
    std::map<std::string, InstalledPackage, std::less<>> packages_;
};

}  // namespace tarnel::sim
