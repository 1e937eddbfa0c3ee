#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <stop_token>
#include <string>
#include <vector>

#include "installer/package/unpack_plan.h"

namespace tarnel {

struct UnpackOptions {
    // Bytes written so far and in all; called on the calling thread a few times a second and
    // once at the end.
    std::function<void(std::uint64_t done, std::uint64_t total)> progress;
    std::stop_token stop;
    // Every file gets ContentTime of its CRC instead of the entry's own time.
    bool timesFromContent = false;
    unsigned threads = 0;  // 0: one per core, at most four
    // Stored entries longer than this are copied in pieces of this size on all threads.
    std::uint64_t pieceSize = 64ull << 20;
    // Unset: every entry at its own name.
    EntryPlacement place;
};

// Refused: the package may not be installed; the message says why, for the user.
enum class UnpackStatus { Done, CannotOpen, Failed, Cancelled, Refused };

struct UnpackReport {
    UnpackStatus status = UnpackStatus::Failed;
    std::string message;  // what went wrong first, for the command line
    std::vector<SkippedEntry> skipped;
    std::uint64_t files = 0;
    std::uint64_t bytes = 0;
};

// Unpacks every entry of the archive at package into folder, creating it. Entries are extracted
// on several threads, each with its own handle on the archive. Any entry that cannot be written
// whole and matching its CRC fails the unpack; the file it was writing is removed, the others stay
// for the caller to remove with the folder.
UnpackReport UnpackArchive(const std::filesystem::path& package,
                           const std::filesystem::path& folder, const UnpackOptions& options = {});

}  // namespace tarnel
