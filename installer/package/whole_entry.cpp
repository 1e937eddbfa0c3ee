#include "installer/package/whole_entry.h"

#include <libdeflate.h>

#include <new>

#include "installer/package/entry_data.h"

namespace tarnel {

namespace {

const char* InflateFailure(libdeflate_result result) {
    switch (result) {
        case LIBDEFLATE_SHORT_OUTPUT:
            return "entry data ends early";
        case LIBDEFLATE_INSUFFICIENT_SPACE:
            return "entry holds more data than its header says";
        default:
            return "entry data is damaged";
    }
}

}  // namespace

bool FitsWhole(const EntrySpan& entry) {
    if (entry.size > kWholeEntryLimit) {
        return false;
    }
    // Deflate keeps data it cannot shrink in blocks of up to 64 KiB behind 5 bytes of header.
    return entry.stored ? entry.compressedSize == entry.size
                        : entry.compressedSize <= entry.size + entry.size / 1024 + 64;
}

void WholeEntryReader::Free::operator()(libdeflate_decompressor* decompressor) const {
    libdeflate_free_decompressor(decompressor);
}

WholeEntryReader::WholeEntryReader() : decompressor_(libdeflate_alloc_decompressor()) {
    if (!decompressor_) {
        throw std::bad_alloc();
    }
}

WholeEntryReader::~WholeEntryReader() = default;

std::optional<std::span<const char>> WholeEntryReader::Read(int packageFd, const EntrySpan& entry,
                                                            std::string* error) {
    const auto size = static_cast<std::size_t>(entry.size);
    const auto packedSize = static_cast<std::size_t>(entry.compressedSize);
    if (data_.size() < size) {
        data_.resize(size);
    }
    if (entry.stored) {
        if (!ReadFullyAt(packageFd, data_.data(), size, entry.dataStart, error)) {
            return std::nullopt;
        }
    } else {
        if (packed_.size() < packedSize) {
            packed_.resize(packedSize);
        }
        if (!ReadFullyAt(packageFd, packed_.data(), packedSize, entry.dataStart, error)) {
            return std::nullopt;
        }
        // With no place for the actual length, anything but exactly size bytes is a failure.
        const libdeflate_result result = libdeflate_deflate_decompress(
            decompressor_.get(), packed_.data(), packedSize, data_.data(), size, nullptr);
        if (result != LIBDEFLATE_SUCCESS) {
            *error = InflateFailure(result);
            return std::nullopt;
        }
    }
    const std::span<const char> data(data_.data(), size);
    if (Crc32(0, data) != entry.crc) {
        *error = "CRC error: the data is damaged";
        return std::nullopt;
    }
    return data;
}

std::uint32_t Crc32(std::uint32_t crc, std::span<const char> data) {
    return libdeflate_crc32(crc, data.data(), data.size());
}

}  // namespace tarnel
