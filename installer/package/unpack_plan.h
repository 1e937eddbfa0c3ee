#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "installer/package/entry_times.h"
#include "installer/package/output_tree.h"
#include "installer/package/package_archive.h"
#include "platform/unique_fd.h"

namespace tarnel {

struct SkippedEntry {
    std::string name;
    std::string reason;
};

// A large stored entry copied in pieces by several workers into one file that the planner opened.
struct SplitFile {
    unique_fd fd;
    std::vector<std::uint32_t> pieceCrcs;
    std::vector<std::uint64_t> pieceLengths;
    std::atomic<std::size_t> piecesLeft{0};
    std::atomic<bool> complete{false};
};

struct UnpackItem {
    std::uint64_t index = 0;
    std::vector<std::string> components;  // where the file goes below the unpack folder
    std::uint64_t size = 0;               // of the whole entry
    std::uint32_t crc = 0;
    std::uint64_t compressedSize = 0;
    bool stored = false;
    bool deflated = false;
    bool encrypted = false;
    // Where the entry's data begins in the package file, for reading it without the archive
    // reader (plain stored and deflated entries only).
    std::optional<std::uint64_t> dataStart;
    bool readOnly = false;
    EntryTimes times;
    // Set for one piece of a split entry: its place in the file.
    std::shared_ptr<SplitFile> split;
    std::size_t piece = 0;
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
};

struct UnpackPlan {
    // First the large items (pieces and files of a mebibyte or more), largest first, so that the
    // workers finish together; then the small files, taking their folders in turn, so that two
    // workers seldom create files in one folder at once (creating takes the folder's lock).
    std::vector<UnpackItem> items;
    std::size_t largeItems = 0;
    std::vector<SkippedEntry> skipped;
    std::vector<std::shared_ptr<SplitFile>> splitFiles;
    std::uint64_t totalBytes = 0;
    std::uint64_t fileCount = 0;
};

// Where a file entry goes below the unpack folder, as safe name components; nothing leaves it out.
using EntryPlacement =
    std::function<std::optional<std::vector<std::string>>(const ArchiveEntry& entry)>;

// Judges every entry, creates all folders and the split files, and lists the work. Stored entries
// longer than pieceSize are split so that every core copies and checks part of them. Entries with
// unsafe names and symbolic links are skipped and listed, never created. With place, only the
// files it places are unpacked, where it says. False (with error) when a folder or file cannot be
// made.
bool MakeUnpackPlan(const PackageArchive& archive, const OutputTree& tree, std::uint64_t pieceSize,
                    UnpackPlan& plan, std::string* error, const EntryPlacement& place = {});

}  // namespace tarnel
