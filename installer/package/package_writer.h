#pragma once

#include <cstdint>
#include <ctime>
#include <deque>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "installer/package/package_archive.h"

namespace tarnel {

// Times for an extended-timestamp ("UT") field; flags bits 0, 1, 2 name modification, access and
// creation, and only the named ones are written.
struct UtTimes {
    std::uint8_t flags = 1;
    std::int32_t modification = 0;
    std::int32_t access = 0;
    std::int32_t creation = 0;
};

struct EntryOptions {
    bool stored = false;
    // Raw external attributes and the "made by" system. By default a Unix mode: 0100644 for files,
    // 040755 for folders, 0120777 for links.
    std::optional<std::uint32_t> external;
    std::uint8_t system = 3;
    std::time_t dosTime = 1700000000;  // 2023-11-14
    std::optional<UtTimes> ut;
};

// Writes zip archives entry by entry, for tests, the benchmark and the demo: packages with a
// chosen manifest, APK, icon and data, Windows-made attributes, "UT" times and hostile entries
// (absolute names, drive letters, ".." with either separator, links). Names go in as given.
class PackageWriter {
  public:
    static std::optional<PackageWriter> Create(const std::filesystem::path& path,
                                               std::string* error = nullptr);

    bool AddFile(std::string_view name, std::string data, const EntryOptions& options = {});
    // The data comes from a file on disk when the archive is written, for large entries.
    bool AddFileFrom(std::string_view name, const std::filesystem::path& source,
                     const EntryOptions& options = {});
    bool AddSymbolicLink(std::string_view name, std::string target,
                         const EntryOptions& options = {});

    // Writes the archive; nothing is on disk before.
    bool Finish(std::string* error = nullptr);

  private:
    explicit PackageWriter(zip* archive);
    bool Describe(std::int64_t index, std::uint32_t defaultMode, const EntryOptions& options);

    std::unique_ptr<zip, ZipDiscard> zip_;
    std::unique_ptr<std::deque<std::string>> data_;  // kept until Finish: libzip reads it then
};

// The manifest.data bytes for text: a zlib stream made with compress2.
std::string CompressManifest(std::string_view text);

struct ManifestFields {
    std::string packageName = "com.example.racer";
    std::string appName = "Racer";
    std::string versionName = "1.0";
    std::string apkSize;
    std::string dataSize;
    std::string size;
    std::string minSdkVersion = "14";
};

// The manifest text in the layout packages use: members each ending in `",`, minSdkVersion last
// and closed by `"}`.
std::string ManifestText(const ManifestFields& fields);

}  // namespace tarnel
