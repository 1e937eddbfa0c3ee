#include "installer/package/verify_unpacked.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <optional>

#include "bridge/device_bridge.h"
#include "bridge/marker_search.h"
#include "bridge/package_name.h"
#include "installer/package/folder_tree.h"
#include "installer/package/manifest_inflate.h"
#include "installer/package/package_manifest.h"
#include "platform/unique_fd.h"

namespace tarnel {

namespace {

unique_fd OpenForReading(const std::filesystem::path& path) {
    return unique_fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
}

std::optional<std::uint64_t> RegularFileLength(const std::filesystem::path& path) {
    const unique_fd file = OpenForReading(path);
    struct stat info {};
    if (file.Get() < 0 || fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(info.st_size);
}

}  // namespace

int VerifyUnpackedFolder(const std::filesystem::path& folder, UnpackedPaths& paths) {
    paths.dataFolder = FindNoCase(folder, "android").value_or(folder / "android");
    const unique_fd manifestFile =
        OpenForReading(FindNoCase(folder, "manifest.data").value_or(folder / "manifest.data"));
    if (manifestFile.Get() < 0) {
        return kManifestMissing;
    }
    std::string text;
    const int inflated = InflateManifest(manifestFile.Get(), text);
    if (inflated == kManifestReadError) {
        return kManifestMissing;
    }
    if (inflated != kManifestInflated) {
        return kManifestBroken;
    }
    const PackageManifest manifest = ParseManifest(text);
    // The name becomes part of a path: anything but a package name could point elsewhere.
    if (!IsValidPackageName(manifest.packageName)) {
        return kApkMissing;
    }
    paths.packageName = manifest.packageName;
    const std::string apkName = manifest.packageName + ".apk";
    paths.apk = FindNoCase(folder, apkName).value_or(folder / apkName);
    const std::optional<std::uint64_t> apkLength = RegularFileLength(paths.apk);
    if (!apkLength) {
        return kApkMissing;
    }
    if (std::fabs(static_cast<double>(*apkLength) - LeadingNumber(manifest.apkSize)) > 0.00001) {
        return kApkAltered;
    }
    const std::int64_t dataSize = LeadingInteger(manifest.dataSize);
    if (dataSize < 0 || static_cast<std::uint64_t>(dataSize) != FolderByteSize(paths.dataFolder)) {
        return kDataAltered;
    }
    return kUnpackedIntact;
}

int VerifyUnpacked(DeviceBridge& bridge) {
    UnpackedPaths paths;
    const int result = VerifyUnpackedFolder(bridge.unpackFolder, paths);
    bridge.obbSourceDir = paths.dataFolder.string();
    bridge.apkPath = paths.apk.string();
    if (result != kUnpackedIntact || bridge.aaptPath.empty()) {
        return result;
    }
    const std::string badging = bridge.RunTool(bridge.BuildCommand(ToolCommand::Badging));
    const std::string named = ValueBeforeApostrophe(badging, "package: name='");
    if (named.empty()) {
        return kApkMissing;
    }
    return named == paths.packageName ? kUnpackedIntact : kApkNameDiffers;
}

}  // namespace tarnel
