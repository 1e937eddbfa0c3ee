#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/apk_identity.h"
#include "sim/phone_file_system.h"
#include "sim/scenario.h"

namespace tarnel::sim {

struct InstalledPackage {
    std::string name;
    std::string versionName;
    int64_t versionCode = 1;
    bool system = false;
    std::string codePath;             // device folder that holds the APK
    std::vector<std::string> splits;  // split names; each installed as split_NAME.apk
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

    // Install sessions (install-create, install-write, install-commit): the APKs of one app,
    // written one by one into the session's staging folder and installed together.
    int CreateSession(const InstallOptions& options);
    // The host file that install-write fills for a session; nothing for an unknown session or a
    // name that is not a plain file name.
    std::optional<std::filesystem::path> SessionFile(int session, std::string_view name);
    PackageResult CommitSession(int session);
    bool AbandonSession(int session);

  private:
    struct StagedApk {
        std::filesystem::path file;
        std::string splitName;  // empty for the base
    };
    struct Session {
        InstallOptions options;
        std::string staging;  // device folder
        std::vector<std::filesystem::path> files;
    };

    PackageResult Fail(std::string_view code, std::string_view packageName) const;
    // An accepted APK is optimised before the answer: a big game keeps a phone busy for minutes
    // without a byte on the cable.
    void WorkSilently() const;
    PackageResult CommitStaged(const Session& session);
    // Puts a package's APKs into place, as pm does once they are read; mutex_ is held.
    PackageResult Place(const ApkIdentity& base, const std::vector<StagedApk>& apks,
                        const InstallOptions& options);

    const Scenario& scenario_;
    PhoneFileSystem& files_;
    mutable std::mutex mutex_;
    std::map<std::string, InstalledPackage, std::less<>> packages_;
    std::map<int, Session> sessions_;
    int nextSession_ = 1180421;
};

}  // namespace tarnel::sim
