#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

struct libdeflate_decompressor;

namespace tarnel {

// Entries up to this size are read and inflated in one piece: most game data files are small,
// and libdeflate's whole-buffer inflate is two to three times as fast as zlib's streaming one.
// The bound keeps each worker's two buffers at a few mebibytes.
inline constexpr std::uint64_t kWholeEntryLimit = 4 << 20;

// Where an entry's bytes lie in the package file and what they must come out as.
struct EntrySpan {
    std::uint64_t dataStart = 0;
    std::uint64_t compressedSize = 0;
    std::uint64_t size = 0;
    std::uint32_t crc = 0;
    bool stored = false;  // else deflated
};

// Whether an entry of these sizes can be read whole: bounded, and a compressed size no larger
// than deflate makes of data that does not compress (anything else takes the streaming reader).
bool FitsWhole(const EntrySpan& entry);

// Reads entries straight from the package file with pread and inflates them with libdeflate,
// reusing its buffers from entry to entry; one per thread.
class WholeEntryReader {
  public:
    WholeEntryReader();
    ~WholeEntryReader();
    WholeEntryReader(const WholeEntryReader&) = delete;
    WholeEntryReader& operator=(const WholeEntryReader&) = delete;

    // The entry's data, exactly entry.size bytes matching entry.crc, valid until the next call;
    // none with error otherwise. entry must fit whole.
    std::optional<std::span<const char>> Read(int packageFd, const EntrySpan& entry,
                                              std::string* error);

  private:
    struct Free {
        void operator()(libdeflate_decompressor* decompressor) const;
    };
    std::unique_ptr<libdeflate_decompressor, Free> decompressor_;
    std::vector<char> packed_;
    std::vector<char> data_;
};

// CRC-32 of data continuing from crc (0 to start), with the carry-less multiply instructions
// where the processor has them.
std::uint32_t Crc32(std::uint32_t crc, std::span<const char> data);

}  // namespace tarnel
