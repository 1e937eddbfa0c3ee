#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

namespace tarnel {

// Total bytes of the regular files below path, 64 bits wide; links are not followed and a
// missing folder counts 0.
std::uint64_t FolderByteSize(const std::filesystem::path& path);

// Removes path and everything below it, read-only files and folders too. An empty path does
// nothing; failures are ignored. Links are removed, never followed.
void RemoveFolderTree(const std::filesystem::path& path);

// folder/name when it exists, else the entry of folder whose name differs only in ASCII letter
// case (packages made on Windows do not keep case), else nothing.
std::optional<std::filesystem::path> FindNoCase(const std::filesystem::path& folder,
                                                std::string_view name);

}  // namespace tarnel
