#include "installer/package/package_info.h"

#include <stdlib.h>
#include <unistd.h>

#include <optional>
#include <string>
#include <utility>

#include "bridge/device_bridge.h"
#include "bridge/marker_search.h"
#include "bridge/package_name.h"
#include "bridge/permission_text.h"
#include "installer/package/manifest_inflate.h"
#include "installer/package/package_archive.h"
#include "installer/package/package_check.h"
#include "installer/package/package_manifest.h"
#include "platform/folders.h"
#include "platform/text_codec.h"

namespace tarnel {

namespace {

// A manifest of 64 KiB of text compresses to far less than this.
constexpr std::uint64_t kCompressedManifestLimit = 1 << 20;
// An APK is addressed with a signed 32-bit offset in the format.
constexpr std::uint64_t kApkLimit = (1ull << 31) - 1;

int Refuse(MessageSink& sink, std::string_view text) {
    sink.ShowMessage(NarrowText(text), NarrowText(kErrorCaption));
    return -1;
}

}  // namespace

ManifestRead ReadArchiveManifest(const PackageArchive& archive, PackageManifest& manifest) {
    const std::optional<std::uint64_t> index = archive.Find("manifest.data");
    if (!index) {
        return ManifestRead::Missing;
    }
    const std::optional<std::string> compressed =
        archive.ReadWhole(*index, kCompressedManifestLimit);
    if (!compressed) {
        return ManifestRead::Unreadable;
    }
    std::string text;
    if (InflateManifestBytes(*compressed, text) != kManifestInflated) {
        return ManifestRead::Broken;
    }
    Utf8ToGbkInPlace(text);
    manifest = ParseManifest(text);
    return IsValidPackageName(manifest.packageName) ? ManifestRead::Read : ManifestRead::Broken;
}

int ReadPackageInfo(DeviceBridge& bridge, MessageSink& sink) {
    const std::optional<PackageArchive> archive = PackageArchive::Open(bridge.packagePath);
    PackageManifest manifest;
    switch (archive ? ReadArchiveManifest(*archive, manifest) : ManifestRead::Missing) {
        case ManifestRead::Missing:
            return Refuse(sink, kDecompressionError);
        case ManifestRead::Unreadable:
            return Refuse(sink, kFileOpenError);
        case ManifestRead::Broken:
            return Refuse(sink, kDecryptionError);
        case ManifestRead::Read:
            break;
    }
    if (const std::string refusal = CheckPackageEntries(*archive, manifest.packageName);
        !refusal.empty()) {
        sink.ShowMessage(refusal, NarrowText(kErrorCaption));
        return -1;
    }
    bridge.versionName = manifest.versionName;
    bridge.appLabel = manifest.appName;
    bridge.packageName = manifest.packageName;
    bridge.sizeText = ManifestSizeText(manifest.size);
    bridge.androidVersion = ManifestAndroidVersion(manifest.minSdkVersion);
    return 0;
}

int ReadPackagePermissions(DeviceBridge& bridge) {
    bridge.permissionText.clear();
    if (!IsValidPackageName(bridge.packageName)) {
        return kPermissionsUnreadable;
    }
    const std::optional<PackageArchive> archive = PackageArchive::Open(bridge.packagePath);
    const std::optional<std::uint64_t> index =
        archive ? archive->Find(bridge.packageName + ".apk") : std::nullopt;
    if (!index) {
        return kPermissionsUnreadable;
    }
    PackageManifest manifest;
    ReadArchiveManifest(*archive, manifest);
    const std::int64_t apkSize = LeadingInteger(manifest.apkSize);
    const std::uint64_t limit = apkSize > 0 ? static_cast<std::uint64_t>(apkSize) : kApkLimit;
    std::error_code folderError;
    const std::filesystem::path folder = WorkTmpFolder(folderError);
    std::string copy = (folder / (bridge.packageName + "-XXXXXX.apk")).string();
    const int fd = folderError ? -1 : mkstemps(copy.data(), 4);
    if (fd < 0) {
        return kPermissionsNoWorkFolder;
    }
    const bool extracted = archive->ExtractToOpenFile(*index, fd, nullptr, limit);
    close(fd);
    int result = kPermissionsUnreadable;
    if (extracted) {
        const std::string apkPath = std::exchange(bridge.apkPath, copy);
        const std::string output = bridge.RunTool(bridge.BuildCommand(ToolCommand::Badging));
        bridge.apkPath = apkPath;
        if (output.find("ERROR: dump failed") == std::string::npos && !output.empty()) {
            if (ValueBeforeApostrophe(output, "package: name='") != bridge.packageName) {
                result = kPermissionsApkDiffers;
            } else {
                bridge.permissionText =
                    DescribePermissions(bridge.PermissionTable, output, bridge.Variant());
                result = kPermissionsRead;
            }
        }
    }
    unlink(copy.c_str());
    return result;
}

}  // namespace tarnel
