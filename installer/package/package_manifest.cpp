#include "installer/package/package_manifest.h"

#include <charconv>

#include "bridge/android_versions.h"
#include "bridge/marker_search.h"
#include "bridge/size_text.h"

namespace tarnel {

std::string ManifestValue(std::string_view text, std::string_view key) {
    return ValueAfterMarker(text, "\"" + std::string(key) + "\": \"");
}

PackageManifest ParseManifest(std::string_view text) {
    PackageManifest manifest;
    manifest.packageName = ManifestValue(text, "packageName");
    manifest.appName = ManifestValue(text, "appName");
    manifest.versionName = ManifestValue(text, "versionName");
    manifest.apkSize = ManifestValue(text, "apkSize");
    manifest.dataSize = ManifestValue(text, "dataSize");
    manifest.size = ManifestValue(text, "size");
    manifest.minSdkVersion = ManifestValue(text, "minSdkVersion");
    const std::size_t quote = manifest.minSdkVersion.find('"');
    if (quote == 1 || quote == 2) {
        manifest.minSdkVersion.resize(quote);
    }
    return manifest;
}

std::string ManifestSizeText(std::string_view size) {
    return SizeText(LeadingNumber(size));
}

std::string ManifestAndroidVersion(std::string_view level) {
    return AndroidVersionName(level, VersionTableColumn::Manifest);
}

std::int64_t LeadingInteger(std::string_view text) {
    std::size_t start = text.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos) {
        return 0;
    }
    if (text[start] == '+') {
        ++start;
    }
    std::int64_t value = 0;
    std::from_chars(text.data() + start, text.data() + text.size(), value);
    return value;
}

}  // namespace tarnel
