#pragma once

#include <filesystem>

#include "installer/package/unpacker.h"

namespace tarnel {

class DeviceBridge;

// The unpack folder of a package: beside it, a tilde and its name without the last extension
// (/games/racer.tpk gives /games/~racer).
std::filesystem::path UnpackFolderBeside(const std::filesystem::path& package);

// Where the package is unpacked: the folder beside it, or, when the package's folder takes no
// new folder (read-only media, another user's folder), the same name under the user's cache.
std::filesystem::path ChooseUnpackFolder(const std::filesystem::path& package);

// Unpacks the package into its unpack folder, which it stores in bridge.unpackFolder; an
// existing folder is reused and its files replaced.
UnpackReport UnpackPackage(DeviceBridge& bridge, const std::filesystem::path& package,
                           const UnpackOptions& options = {});

}  // namespace tarnel
