#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "installer/package/entry_attributes.h"
#include "installer/package/entry_times.h"

struct zip;

namespace tarnel {

struct ArchiveEntry {
    std::uint64_t index = 0;
    std::string
        name;  // UTF-8; names without the UTF-8 flag are decoded as CP437 unless valid UTF-8
    std::uint32_t attributes = kAttributeNormal;
    EntryTimes times;
    std::uint64_t compressedSize = 0;
    std::uint64_t size = 0;
    std::uint32_t crc = 0;
    bool stored = false;  // kept uncompressed, so it can be copied in pieces without inflating
    bool deflated = false;
    bool encrypted = false;

    bool IsDirectory() const { return attributes & kAttributeDirectory; }
    bool IsSymbolicLink() const { return attributes & kAttributeSymbolicLink; }
    bool IsReadOnly() const { return attributes & kAttributeReadOnly; }
};

struct ZipDiscard {
    void operator()(zip* archive) const;
};

// A package or an APK opened for reading. The archive is checked for consistency when opened
// (local and central headers agree, no duplicate or NUL-holding names, entry count right), so a
// damaged download is refused before anything is unpacked from it.
class PackageArchive {
  public:
    // Light skips the consistency check, for further handles on an archive already checked.
    enum class Check { Full, Light };
    static std::optional<PackageArchive> Open(const std::filesystem::path& path,
                                              std::string* error = nullptr,
                                              Check check = Check::Full);

    std::uint64_t Count() const;
    std::optional<ArchiveEntry> Entry(std::uint64_t index) const;
    // Whole stored name, separators included, letter case ignored.
    std::optional<std::uint64_t> Find(std::string_view name) const;

    static constexpr std::uint64_t kNoLimit = UINT64_MAX;

    // Writes the entry's data to target, replacing a file there and creating its folder. A CRC
    // mismatch, a short entry or one longer than limit fails the call and leaves no file behind.
    bool ExtractToFile(std::uint64_t index, const std::filesystem::path& target,
                       std::string* error = nullptr, std::uint64_t limit = kNoLimit) const;
    // The same into a file already open for writing (a fresh temporary file).
    bool ExtractToOpenFile(std::uint64_t index, int fd, std::string* error = nullptr,
                           std::uint64_t limit = kNoLimit) const;
    // The entry's data in memory; entries longer than limit are refused.
    std::optional<std::string> ReadWhole(std::uint64_t index, std::uint64_t limit,
                                         std::string* error = nullptr) const;

    const std::filesystem::path& Path() const { return path_; }
    zip* Handle() const { return zip_.get(); }

  private:
    PackageArchive(std::unique_ptr<zip, ZipDiscard> archive, std::filesystem::path path);

    std::unique_ptr<zip, ZipDiscard> zip_;
    std::filesystem::path path_;
};

// libzip's text for its last error on archive, for messages.
std::string ZipErrorText(int code);

}  // namespace tarnel
