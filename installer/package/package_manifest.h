#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tarnel {

// The value of key in manifest text: after the marker `"KEY": "` up to the first `",`, or, for
// the last member, to the end without its closing quote and brace. Empty when the key is missing.
std::string ManifestValue(std::string_view text, std::string_view key);

// The seven members of a package manifest, as written (numbers are strings).
struct PackageManifest {
    std::string packageName;
    std::string appName;
    std::string versionName;
    std::string apkSize;
    std::string dataSize;
    std::string size;
    std::string minSdkVersion;
};

// minSdkVersion loses a closing quote standing at its position 1 or 2, as older manifests carry.
PackageManifest ParseManifest(std::string_view text);

// The size member as shown to users ("1.5KB", "2.MB").
std::string ManifestSizeText(std::string_view size);

// The level's Android version name, by the manifest column of the table; other levels unchanged.
std::string ManifestAndroidVersion(std::string_view level);

// dataSize as C's atoll reads it: optional white space and sign, then the leading digits.
std::int64_t LeadingInteger(std::string_view text);

}  // namespace tarnel
