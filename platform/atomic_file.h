#pragma once

#include <filesystem>
#include <string>

namespace tarnel {

// Replaces the file's contents all at once (a temporary file beside it, synced, then renamed), so
// a crash never leaves half a file behind; creates missing parent folders. False when it could
// not be written (the old file is then unchanged).
bool WriteFileAtomically(const std::filesystem::path& path, const std::string& data);

// The whole file, or nothing when it cannot be read; found tells which.
std::string ReadWholeFile(const std::filesystem::path& path, bool* found = nullptr);

}  // namespace tarnel
