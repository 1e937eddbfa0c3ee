#pragma once

#include <filesystem>
#include <string>

namespace tarnel {

// One INI file, read afresh on every lookup and written through at once. A write replaces the
// file atomically (temporary file, then rename), so a crash never leaves half a file behind.
class IniProfile {
  public:
    explicit IniProfile(std::filesystem::path path) : path_(std::move(path)) {}

    const std::filesystem::path& Path() const { return path_; }

    // The value, or fallback when the file, the section or the key is missing.
    std::string Read(const std::string& section, const std::string& key,
                     const std::string& fallback = "") const;

    // Sets one value, keeping every other line of the file; false when the file could not be
    // written (the old file is then unchanged).
    bool Write(const std::string& section, const std::string& key, const std::string& value);

  private:
    std::filesystem::path path_;
};

}  // namespace tarnel
