#include "installer/package/entry_offsets.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <utility>

#include "installer/package/entry_data.h"

namespace tarnel {
namespace {

constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kZip64EndSignature = 0x06064b50;
constexpr std::uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr std::uint32_t kCentralSignature = 0x02014b50;
constexpr std::uint32_t kLocalSignature = 0x04034b50;
constexpr std::size_t kEndSize = 22;
constexpr std::size_t kCentralSize = 46;
constexpr std::size_t kLocalSize = 30;

std::uint64_t Little(const std::string& bytes, std::size_t at, int width) {
    std::uint64_t value = 0;
    for (int byte = width - 1; byte >= 0; --byte)
        value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(byte)]);
    return value;
}

bool ReadAt(int fd, std::uint64_t offset, std::size_t size, std::string& out) {
    out.assign(size, '\0');
    std::string ignored;
    return ReadFullyAt(fd, out.data(), size, offset, &ignored);
}

struct Directory {
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
    std::uint64_t count = 0;
};

std::optional<Directory> FindDirectory(int fd, std::uint64_t fileSize) {
    // The end record is in the last 64 KiB and 22 bytes (its comment is at most 65535 bytes).
    const std::uint64_t tailSize = std::min<std::uint64_t>(fileSize, 65535 + kEndSize);
    std::string tail;
    if (tailSize < kEndSize || !ReadAt(fd, fileSize - tailSize, tailSize, tail))
        return std::nullopt;
    for (std::size_t at = tail.size() - kEndSize + 1; at-- > 0;) {
        if (Little(tail, at, 4) != kEndSignature)
            continue;
        Directory found{Little(tail, at + 16, 4), Little(tail, at + 12, 4),
                        Little(tail, at + 10, 2)};
        const std::uint64_t endAt = fileSize - tailSize + at;
        std::string locator;
        if (endAt >= 20 && ReadAt(fd, endAt - 20, 20, locator) &&
            Little(locator, 0, 4) == kZip64LocatorSignature) {
            std::string end64;
            if (!ReadAt(fd, Little(locator, 8, 8), 56, end64) ||
                Little(end64, 0, 4) != kZip64EndSignature)
                return std::nullopt;
            found = {Little(end64, 48, 8), Little(end64, 40, 8), Little(end64, 32, 8)};
        }
        return found;
    }
    return std::nullopt;
}

// The local header's offset from a central record, looking into its Zip64 field when needed.
std::uint64_t LocalHeaderOffset(const std::string& record, std::size_t at) {
    std::uint64_t offset = Little(record, at + 42, 4);
    if (offset != 0xFFFFFFFF)
        return offset;
    const std::size_t nameSize = Little(record, at + 28, 2);
    std::size_t extra = at + kCentralSize + nameSize;
    const std::size_t extraEnd = extra + Little(record, at + 30, 2);
    while (extra + 4 <= extraEnd && extraEnd <= record.size()) {
        const std::uint64_t id = Little(record, extra, 2);
        const std::size_t size = Little(record, extra + 2, 2);
        if (id == 1) {
            // Only the fields whose central value is all ones are present, in this order.
            std::size_t field = extra + 4;
            field += Little(record, at + 24, 4) == 0xFFFFFFFF ? 8 : 0;
            field += Little(record, at + 20, 4) == 0xFFFFFFFF ? 8 : 0;
            return field + 8 <= extra + 4 + size ? Little(record, field, 8) : offset;
        }
        extra += 4 + size;
    }
    return offset;
}

// The central directory's records and their count; nullopt when it cannot be read.
std::optional<std::pair<std::string, std::uint64_t>> CentralRecords(int fd) {
    struct stat info {};
    if (fstat(fd, &info) != 0)
        return std::nullopt;
    const auto fileSize = static_cast<std::uint64_t>(info.st_size);
    const std::optional<Directory> directory = FindDirectory(fd, fileSize);
    std::string records;
    if (!directory || directory->offset + directory->size > fileSize ||
        !ReadAt(fd, directory->offset, directory->size, records))
        return std::nullopt;
    return std::pair{std::move(records), directory->count};
}

std::size_t RecordSize(const std::string& records, std::size_t at) {
    return kCentralSize + Little(records, at + 28, 2) + Little(records, at + 30, 2) +
           Little(records, at + 32, 2);
}

}  // namespace

bool CentralNameHoldsNul(int fd) {
    const auto central = CentralRecords(fd);
    if (!central)
        return false;
    const std::string& records = central->first;
    for (std::size_t at = 0;
         at + kCentralSize <= records.size() && Little(records, at, 4) == kCentralSignature;
         at += RecordSize(records, at)) {
        const std::size_t nameSize = Little(records, at + 28, 2);
        const std::size_t name = at + kCentralSize;
        if (name + nameSize <= records.size() && records.find('\0', name) < name + nameSize)
            return true;
    }
    return false;
}

std::vector<std::optional<std::uint64_t>> EntryDataOffsets(int fd) {
    const auto central = CentralRecords(fd);
    if (!central)
        return {};
    const auto& [records, count] = *central;
    std::vector<std::optional<std::uint64_t>> offsets;
    std::size_t at = 0;
    while (offsets.size() < count && at + kCentralSize <= records.size() &&
           Little(records, at, 4) == kCentralSignature) {
        const std::uint64_t header = LocalHeaderOffset(records, at);
        std::string local;
        if (ReadAt(fd, header, kLocalSize, local) && Little(local, 0, 4) == kLocalSignature)
            offsets.push_back(header + kLocalSize + Little(local, 26, 2) + Little(local, 28, 2));
        else
            offsets.push_back(std::nullopt);
        at += RecordSize(records, at);
    }
    return offsets;
}

}  // namespace tarnel
