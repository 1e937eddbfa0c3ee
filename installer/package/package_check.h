#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tarnel {

class PackageArchive;

// Why a game package may not be shown or installed, in the narrow encoding; empty when it may.
// Refused: two entries whose names differ only in letter case (Windows and the phone's storage
// keep one of them, so the facts would be read from one twin and the other installed), names too
// deep for one path, and data under android/ outside android/obb/PACKAGE/ and
// android/data/PACKAGE/ (the message names the first offending entry).
std::string CheckPackageEntries(const PackageArchive& archive, std::string_view packageName);

// The same for the package file, with the package name from its own manifest. Empty as well when
// the file or its manifest cannot be read: the usual checks report that.
std::string CheckPackageFile(const std::filesystem::path& package);

}  // namespace tarnel
