#include "installer/package/unpack_package.h"

#include <sys/stat.h>

#include <cerrno>
#include <string>

#include "bridge/device_bridge.h"
#include "installer/package/package_check.h"
#include "platform/folders.h"

namespace tarnel {

namespace {

// Beyond this many folders of one name something else is wrong.
constexpr int kMaxNameAttempts = 100;

// The first of base, "base (2)", ... that mkdir creates; mkdir never follows a link.
std::filesystem::path CreateFreshFolder(const std::filesystem::path& base) {
    for (int attempt = 1; attempt <= kMaxNameAttempts; ++attempt) {
        std::filesystem::path folder = base;
        if (attempt > 1) {
            folder += " (" + std::to_string(attempt) + ")";
        }
        if (mkdir(folder.c_str(), 0755) == 0) {
            return folder;
        }
        if (errno != EEXIST) {
            return {};
        }
    }
    return {};
}

}  // namespace

std::filesystem::path UnpackFolderBeside(const std::filesystem::path& package) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(package, error);
    return absolute.parent_path() / ("~" + absolute.stem().string());
}

std::filesystem::path CreateUnpackFolder(const std::filesystem::path& package) {
    const std::filesystem::path beside = UnpackFolderBeside(package);
    if (std::filesystem::path made = CreateFreshFolder(beside); !made.empty()) {
        return made;
    }
    const std::filesystem::path cache = UserCacheFolder() / "unpack";
    std::error_code error;
    std::filesystem::create_directories(cache, error);
    return error ? std::filesystem::path() : CreateFreshFolder(cache / beside.filename());
}

UnpackReport UnpackPackage(DeviceBridge& bridge, const std::filesystem::path& package,
                           const UnpackOptions& options) {
    bridge.unpackFolder.clear();
    UnpackReport report;
    if (std::string refusal = CheckPackageFile(package); !refusal.empty()) {
        report.status = UnpackStatus::Refused;
        report.message = std::move(refusal);
        return report;
    }
    const std::filesystem::path folder = CreateUnpackFolder(package);
    if (folder.empty()) {
        report.message = "cannot create a folder to unpack into";
        return report;
    }
    bridge.unpackFolder = folder.string();
    std::error_code error;
    return UnpackArchive(std::filesystem::absolute(package, error), folder, options);
}

}  // namespace tarnel
