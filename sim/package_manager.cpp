#include "sim/package_manager.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <system_error>
#include <thread>

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

void PackageManager::WorkSilently() const {
    std::this_thread::sleep_for(std::chrono::duration<double>(scenario_.installSeconds));
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
    if (!identity || !identity->splitName.empty()) {
        return Fail("INSTALL_FAILED_INVALID_APK", name);
    }
    WorkSilently();
    std::lock_guard lock(mutex_);
    return Place(*identity, {{apk, ""}}, options);
}

PackageResult PackageManager::Place(const ApkIdentity& identity, const std::vector<StagedApk>& apks,
                                    const InstallOptions& options) {
    const std::string& name = identity.packageName;
    std::error_code error;
    const auto existing = packages_.find(name);
    if (existing != packages_.end()) {
        if (!options.replace) {
            return Fail("INSTALL_FAILED_ALREADY_EXISTS", name);
        }
        if (existing->second.versionCode > identity.versionCode && !options.allowDowngrade) {
            return Fail("INSTALL_FAILED_VERSION_DOWNGRADE", name);
        }
    }
    const std::string codePath = (options.external ? "/mnt/asec/" : "/data/app/") + name + "-1";
    const HostLocation folder = files_.Locate(codePath, Access::Write, true);
    if (existing != packages_.end()) {
        // An update replaces every APK of the app, its splits too.
        std::filesystem::remove_all(
            files_.Locate(existing->second.codePath, Access::Write, true).host, error);
    }
    if (files_.MakeDirectories(codePath, true) != 0) {
        return Fail("INSTALL_FAILED_INTERNAL_ERROR", name);
    }
    InstalledPackage installed{name, identity.versionName, identity.versionCode, false, codePath};
    for (const StagedApk& apk : apks) {
        // pm names the files after their manifests, whatever they were uploaded as.
        const std::string file =
            apk.splitName.empty() ? "base.apk" : "split_" + apk.splitName + ".apk";
        if (!std::filesystem::copy_file(apk.file, folder.host / file,
                                        std::filesystem::copy_options::overwrite_existing, error)) {
            std::filesystem::remove_all(folder.host, error);
            packages_.erase(name);
            return Fail("INSTALL_FAILED_INTERNAL_ERROR", name);
        }
        if (!apk.splitName.empty()) {
            installed.splits.push_back(apk.splitName);
        }
    }
    packages_[name] = installed;
    return {true, "Success"};
}

int PackageManager::CreateSession(const InstallOptions& options) {
    std::lock_guard lock(mutex_);
    const int id = nextSession_++;
    const std::string staging = "/data/app/vmdl" + std::to_string(id) + ".tmp";
    files_.MakeDirectories(staging, true);
    sessions_[id] = {options, staging, {}};
    return id;
}

std::optional<std::filesystem::path> PackageManager::SessionFile(int session,
                                                                 std::string_view name) {
    std::lock_guard lock(mutex_);
    const auto it = sessions_.find(session);
    if (it == sessions_.end() || name.empty() || name == "." || name == ".." ||
        name.find('/') != std::string_view::npos) {
        return std::nullopt;
    }
    const std::filesystem::path file =
        files_.Locate(it->second.staging + "/" + std::string(name), Access::Write, true).host;
    if (std::find(it->second.files.begin(), it->second.files.end(), file) ==
        it->second.files.end()) {
        it->second.files.push_back(file);
    }
    return file;
}

bool PackageManager::AbandonSession(int session) {
    std::lock_guard lock(mutex_);
    const auto it = sessions_.find(session);
    if (it == sessions_.end()) {
        return false;
    }
    std::error_code ignored;
    std::filesystem::remove_all(files_.Locate(it->second.staging, Access::Write, true).host,
                                ignored);
    sessions_.erase(it);
    return true;
}

PackageResult PackageManager::CommitSession(int id) {
    std::unique_lock lock(mutex_);
    const auto it = sessions_.find(id);
    if (it == sessions_.end()) {
        return {false,
                "Failure [INSTALL_FAILED_INTERNAL_ERROR: no session " + std::to_string(id) + "]"};
    }
    const Session session = it->second;
    lock.unlock();
    const PackageResult result = CommitStaged(session);
    AbandonSession(id);
    return result;
}

PackageResult PackageManager::CommitStaged(const Session& session) {
    std::vector<StagedApk> apks;
    std::optional<ApkIdentity> base;
    uint64_t total = 0;
    std::error_code error;
    for (const std::filesystem::path& file : session.files) {
        total += std::filesystem::file_size(file, error);
        const std::optional<ApkIdentity> identity =
            LooksLikeZip(file) ? ReadApkIdentity(file) : std::nullopt;
        if (!identity || (base && identity->packageName != base->packageName) ||
            (identity->splitName.empty() && base && base->splitName.empty())) {
            return Fail("INSTALL_FAILED_INVALID_APK", base ? base->packageName : "");
        }
        if (!base || identity->splitName.empty()) {
            base = identity;
        }
        apks.push_back({file, identity->splitName});
    }
    if (!base || !base->splitName.empty()) {
        return {false,
                "Failure [INSTALL_FAILED_INVALID_APK: Full install must include a base "
                "package]"};
    }
    if (std::optional<PackageResult> refused =
            RefuseEarly(total, session.options, base->packageName)) {
        return *refused;
    }
    WorkSilently();
    std::lock_guard lock(mutex_);
    return Place(*base, apks, session.options);
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
