#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "installer/package/package_writer.h"

namespace tarnel {

// A .tpk to write: the manifest, the APK, the icon and the data files under android/.
struct GamePackage {
    ManifestFields manifest;                  // apkSize, dataSize and size left empty are filled in
    std::optional<std::string> manifestText;  // replaces the text made from manifest
    std::optional<std::string> manifestData;  // replaces the compressed manifest bytes
    std::string manifestEntryName = "manifest.data";
    std::optional<std::string> apk = std::string("PK\x05\x06", 4) + std::string(18, '\0');
    std::optional<std::string> apkEntryName;  // default: the package name and ".apk"
    std::optional<std::string> icon;
    std::vector<std::pair<std::string, std::string>> dataFiles;  // names below android/
    EntryOptions options;                                        // for every entry
};

bool WriteGamePackage(const std::filesystem::path& path, const GamePackage& package,
                      std::string* error = nullptr);

}  // namespace tarnel
