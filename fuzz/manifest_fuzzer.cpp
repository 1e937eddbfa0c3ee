// Feeds manifest.data bytes through the inflater, the marker reader and the display forms.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "installer/package/manifest_inflate.h"
#include "installer/package/package_manifest.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::string text;
    const int result = tarnel::InflateManifestBytes(bytes, text);
    if (result != tarnel::kManifestInflated && !text.empty()) {
        __builtin_trap();
    }
    if (text.size() > tarnel::kManifestTextLimit) {
        __builtin_trap();
    }
    // The raw bytes as text too: the marker reader sees hostile text either way.
    for (const std::string_view source : {std::string_view(text), bytes}) {
        const tarnel::PackageManifest manifest = tarnel::ParseManifest(source);
        tarnel::ManifestSizeText(manifest.size);
        tarnel::ManifestAndroidVersion(manifest.minSdkVersion);
        tarnel::LeadingInteger(manifest.dataSize);
    }
    return 0;
}
