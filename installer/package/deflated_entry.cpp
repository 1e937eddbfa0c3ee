#include "installer/package/deflated_entry.h"

#include <zlib.h>

#include <algorithm>
#include <memory>
#include <new>
#include <vector>

namespace tarnel {

namespace {

constexpr std::size_t kInputSize = 64 << 10;

struct InflateEnd {
    void operator()(z_stream* stream) const {
        inflateEnd(stream);
        delete stream;
    }
};

// A raw deflate stream (no zlib header), as zip entries hold.
std::unique_ptr<z_stream, InflateEnd> RawInflater() {
    auto* stream = new z_stream{};
    if (inflateInit2(stream, -MAX_WBITS) != Z_OK) {
        delete stream;
        throw std::bad_alloc();
    }
    return std::unique_ptr<z_stream, InflateEnd>(stream);
}

}  // namespace

CopyStatus CopyDeflatedFromPackage(int packageFd, const EntrySpan& entry, int fd,
                                   std::span<char> buffer, const CopyHooks& hooks,
                                   std::string* error) {
    const std::unique_ptr<z_stream, InflateEnd> stream = RawInflater();
    std::vector<char> input(kInputSize);
    std::uint64_t read = 0;
    std::uint64_t written = 0;
    std::uint32_t crc = 0;
    for (int result = Z_OK; result != Z_STREAM_END;) {
        if (hooks.stop.stop_requested()) {
            return CopyStatus::Cancelled;
        }
        if (stream->avail_in == 0 && read < entry.compressedSize) {
            const auto size = static_cast<std::size_t>(
                std::min<std::uint64_t>(entry.compressedSize - read, kInputSize));
            if (!ReadFullyAt(packageFd, input.data(), size, entry.dataStart + read, error)) {
                return CopyStatus::Failed;
            }
            stream->next_in = reinterpret_cast<Bytef*>(input.data());
            stream->avail_in = static_cast<uInt>(size);
            read += size;
        }
        stream->next_out = reinterpret_cast<Bytef*>(buffer.data());
        stream->avail_out = static_cast<uInt>(buffer.size());
        result = inflate(stream.get(), Z_NO_FLUSH);
        // With room for output, no progress means the input ran out before the stream's end.
        if (result == Z_BUF_ERROR) {
            *error = "entry data ends early";
            return CopyStatus::Failed;
        }
        if (result != Z_OK && result != Z_STREAM_END) {
            *error = "entry data is damaged";
            return CopyStatus::Failed;
        }
        const std::size_t size = buffer.size() - stream->avail_out;
        if (written + size > entry.size) {
            *error = "entry holds more data than its header says";
            return CopyStatus::Failed;
        }
        crc = Crc32(crc, {buffer.data(), size});
        if (!WriteAt(fd, buffer.data(), size, written, error)) {
            return CopyStatus::Failed;
        }
        written += size;
        if (hooks.bytesDone) {
            hooks.bytesDone->fetch_add(size, std::memory_order_relaxed);
        }
    }
    if (written != entry.size) {
        *error = "entry data ends early (" + std::to_string(written) + " of " +
                 std::to_string(entry.size) + " bytes)";
        return CopyStatus::Failed;
    }
    if (crc != entry.crc) {
        *error = "CRC error: the data is damaged";
        return CopyStatus::Failed;
    }
    return CopyStatus::Done;
}

}  // namespace tarnel
