#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tarnel {

// Results of InflateManifest.
inline constexpr int kManifestInflated = 0;
inline constexpr int kManifestReadError = -1;
inline constexpr int kManifestDataError = -3;  // broken stream, early end, or text too long
inline constexpr int kManifestOutOfMemory = -4;

// Manifests are a few hundred bytes; anything inflating past this is not a manifest.
inline constexpr std::size_t kManifestTextLimit = 64 * 1024;

// Inflates the zlib stream (RFC 1950) of manifest.data from the open descriptor fd into text,
// whole. A stream that ends before its end marker, or whose text would pass the limit, is a data
// error; text then holds nothing.
int InflateManifest(int fd, std::string& text);

// The same for manifest bytes already in memory.
int InflateManifestBytes(std::string_view compressed, std::string& text);

}  // namespace tarnel
