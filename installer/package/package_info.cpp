#include "installer/package/package_info.h"

#include <stdlib.h>
#include <unistd.h>

#include <optional>
#include <string>

#include "bridge/device_bridge.h"
#include "bridge/package_name.h"
#include "bridge/permission_text.h"
#include "installer/package/manifest_inflate.h"
#include "installer/package/package_archive.h"
#include "installer/package/package_manifest.h"
#include "platform/folders.h"
#include "platform/text_codec.h"

namespace tarnel {

namespace {

// A manifest of 64 KiB of text compresses to far less than this.
constexpr std::uint64_t kCompressedManifestLimit = 1 << 20;

int Refuse(MessageSink& sink, std::string_view text) {
    sink.ShowMessage(NarrowText(text), NarrowText(kErrorCaption));
    return -1;
}

}  // namespace

int ReadPackageInfo(DeviceBridge& bridge, MessageSink& sink) {
    const std::optional<PackageArchive> archive = PackageArchive::Open(bridge.packagePath);
    const std::optional<std::uint64_t> index =
        archive ? archive->Find("manifest.data") : std::nullopt;
    if (!index) {
        return Refuse(sink, kDecompressionError);
    }
    const std::optional<std::string> compressed =
        archive->ReadWhole(*index, kCompressedManifestLimit);
    if (!compressed) {
        return Refuse(sink, kFileOpenError);
    }
    std::string text;
    if (InflateManifestBytes(*compressed, text) != kManifestInflated) {
        return Refuse(sink, kDecryptionError);
    }
    Utf8ToGbkInPlace(text);
    const PackageManifest manifest = ParseManifest(text);
    if (!IsValidPackageName(manifest.packageName)) {
        return Refuse(sink, kDecryptionError);
    }
    bridge.versionName = manifest.versionName;
    bridge.appLabel = manifest.appName;
    bridge.packageName = manifest.packageName;
    bridge.sizeText = ManifestSizeText(manifest.size);
    bridge.androidVersion = ManifestAndroidVersion(manifest.minSdkVersion);
    return 0;
}

void ReadPackagePermissions(DeviceBridge& bridge) {
    bridge.permissionText.clear();
    if (!IsValidPackageName(bridge.packageName)) {
        return;
    }
    const std::optional<PackageArchive> archive = PackageArchive::Open(bridge.packagePath);
    const std::optional<std::uint64_t> index =
        archive ? archive->Find(bridge.packageName + ".apk") : std::nullopt;
    if (!index) {
        return;
    }
    std::string copy = (WorkTmpFolder() / (bridge.packageName + "-XXXXXX.apk")).string();
    const int fd = mkstemps(copy.data(), 4);
    if (fd < 0) {
        return;
    }
    const bool extracted = archive->ExtractToOpenFile(*index, fd);
    close(fd);
    bridge.apkPath = copy;
    if (extracted) {
        const std::string output = bridge.RunTool(bridge.BuildCommand(ToolCommand::Badging));
        if (output.find("ERROR: dump failed") == std::string::npos) {
            bridge.permissionText =
                DescribePermissions(bridge.PermissionTable, output, bridge.Variant());
        }
    }
    unlink(copy.c_str());
}

}  // namespace tarnel
