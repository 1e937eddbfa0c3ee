#pragma once

#include <filesystem>

#include "installer/package/unpacker.h"

namespace tarnel {

class DeviceBridge;

// The unpack folder's name for a package: beside it, a tilde and its name without the last
// extension (/games/racer.tpk gives /games/~racer).
std::filesystem::path UnpackFolderBeside(const std::filesystem::path& package);

// Creates the folder a package is unpacked into and gives it (empty when none could be made):
// the name beside it, else "~racer (2)", "~racer (3)" ..., so that a folder or link of that name
// that is already there (the user's own) is never written into or removed. When the package's
// folder takes no new folder (read-only media, another user's folder), the same names under the
// user's cache.
std::filesystem::path CreateUnpackFolder(const std::filesystem::path& package);

// Checks the package (CheckPackageFile: a refusal gives UnpackStatus::Refused with its message)
// and unpacks it into a folder of its own, which it stores in bridge.unpackFolder.
UnpackReport UnpackPackage(DeviceBridge& bridge, const std::filesystem::path& package,
                           const UnpackOptions& options = {});

}  // namespace tarnel
