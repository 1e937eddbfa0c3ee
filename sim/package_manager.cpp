#include "sim/package_manager.h"

#include <fstream>
#include <system_error>

#include "sim/apk_identity.h"
#include "sim/install_failure.h"

namespace tarnel::sim {

namespace {

constexpr const char* kSystemPackages[] = {
    "android",
    "com.android.phone",
    "com.android.providers.media",
    "com.android.settings",
    "com.android.shell",
    "com.android.systemui",
};

bool LooksLikeZip(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    char magic[4] = {};
    in.read(magic, sizeof magic);
    return in && magic[0] == 'P' && magic[1] == 'K' && magic[2] == 3 && magic[3] == 4;
}

}  // namespace

PackageManager::PackageManager(const Scenario& scenario, PhoneFileSystem& files)
    : scenario_(scenario), files_(files) {
    for (const char* name : kSystemPackages) {
        packages_[name] = {name, scenario.release, 1, true, std::string("/system/app/") + name};
    }
    for (const auto& [name, package] : scenario.packages) {
        packages_[name] = {name, package.versionName, package.versionCode, false,
                           "/data/app/" + name + "-1"};
    }
}

std::vector<InstalledPackage> PackageManager::List() const {
    std::lock_guard lock(mutex_);
    std::vector<InstalledPackage> list;
    for (const auto& [name, package] : packages_) {
        list.push_back(package);
    }
    return list;
}

std::optional<InstalledPackage> PackageManager::Find(std::string_view name) const {
    std::lock_guard lock(mutex_);
    const auto it = packages_.find(name);
    return it == packages_.end() ? std::nullopt : std::optional(it->second);
}

PackageResult PackageManager::Fail(std::string_view code, std::string_view packageName) const {
    return {false, InstallFailureText(code, packageName, scenario_.installResultForm)};
}

std::optional<PackageResult> PackageManager::RefuseEarly(uint64_t size,
                                                         const InstallOptions& options,
                                                         std::string_view packageName) const {
    if (scenario_.installResult != "Success") {
        return Fail(scenario_.installResult, packageName);
    }
    if (options.external && !scenario_.sdcard) {
        return Fail("INSTALL_FAILED_MEDIA_UNAVAILABLE", packageName);
    }
    if (size > (options.external ? scenario_.sdFree : scenario_.dataFree)) {
        return Fail("INSTALL_FAILED_INSUFFICIENT_STORAGE", packageName);
    }
    return std::nullopt;
}

PackageResult PackageManager::Install(const std::filesystem::path& apk,
                                      const InstallOptions& options) {
    std::error_code error;
    const uint64_t size = std::filesystem::file_size(apk, error);
    const std::optional<ApkIdentity> identity =
        !error && LooksLikeZip(apk) ? ReadApkIdentity(apk) : std::nullopt;
    const std::string name = identity ? identity->packageName : "";
    if (std::optional<PackageResult> refused = RefuseEarly(size, options, name)) {
        return *refused;
    }
    if (!identity) {
        return Fail("INSTALL_FAILED_INVALID_APK", name);
    }
    std::lock_guard lock(mutex_);
    const auto existing = packages_.find(name);
    if (existing != packages_.end()) {
        if (!options.replace) {
            return Fail("INSTALL_FAILED_ALREADY_EXISTS", name);
        }
        if (existing->second.versionCode > identity->versionCode && !options.allowDowngrade) {
            return Fail("INSTALL_FAILED_VERSION_DOWNGRADE", name);
        }
    }
    const std::string codePath = (options.external ? "/mnt/asec/" : "/data/app/") + name + "-1";
    const HostLocation folder = files_.Locate(codePath, Access::Write, true);
    if (files_.MakeDirectories(codePath, true) != 0 ||
        !std::filesystem::copy_file(apk, folder.host / "base.apk",
                                    std::filesystem::copy_options::overwrite_existing, error)) {
        return Fail("INSTALL_FAILED_INTERNAL_ERROR", name);
    }
    if (existing != packages_.end() && existing->second.codePath != codePath) {
        std::filesystem::remove_all(
            files_.Locate(existing->second.codePath, Access::Write, true).host, error);
    }
    packages_[name] = {name, identity->versionName, identity->versionCode, false, codePath};
    return {true, "Success"};
}

PackageResult PackageManager::Uninstall(std::string_view name) {
    std::lock_guard lock(mutex_);
    const auto it = packages_.find(name);
    if (it == packages_.end() || it->second.system) {
        return {false, "Failure [DELETE_FAILED_INTERNAL_ERROR]"};
    }
    std::error_code ignored;
    std::filesystem::remove_all(files_.Locate(it->second.codePath, Access::Write, true).host,
                                ignored);
    packages_.erase(it);
    return {true, "Success"};
}

}  // namespace tarnel::sim
