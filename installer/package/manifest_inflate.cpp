#include "installer/package/manifest_inflate.h"

#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <functional>

namespace tarnel {

namespace {

constexpr std::size_t kChunk = 4096;

// Reads pieces with read(buffer, size) -> bytes, 0 at the end, negative on error.
int Inflate(const std::function<long(char*, std::size_t)>& read, std::string& text) {
    text.clear();
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) {
        return kManifestOutOfMemory;
    }
    char input[kChunk];
    char output[kChunk];
    int result = kManifestDataError;  // the input ended before the stream did
    for (bool ended = false; !ended;) {
        const long got = read(input, sizeof input);
        if (got < 0) {
            result = kManifestReadError;
            break;
        }
        if (got == 0) {
            break;
        }
        stream.next_in = reinterpret_cast<Bytef*>(input);
        stream.avail_in = static_cast<uInt>(got);
        do {
            stream.next_out = reinterpret_cast<Bytef*>(output);
            stream.avail_out = sizeof output;
            const int status = inflate(&stream, Z_NO_FLUSH);
            if (status == Z_MEM_ERROR) {
                result = kManifestOutOfMemory;
                ended = true;
                break;
            }
            if (status == Z_NEED_DICT || status == Z_DATA_ERROR || status == Z_STREAM_ERROR) {
                ended = true;
                break;
            }
            text.append(output, sizeof output - stream.avail_out);
            if (text.size() > kManifestTextLimit) {
                ended = true;
                break;
            }
            if (status == Z_STREAM_END) {
                result = kManifestInflated;
                ended = true;
                break;
            }
            // Z_BUF_ERROR with input left means no progress is possible: a data error.
            if (status == Z_BUF_ERROR && stream.avail_in > 0) {
                ended = true;
                break;
            }
        } while (stream.avail_out == 0 || stream.avail_in > 0);
    }
    inflateEnd(&stream);
    if (result != kManifestInflated) {
        text.clear();
    }
    return result;
}

}  // namespace

int InflateManifest(int fd, std::string& text) {
    return Inflate(
        [fd](char* buffer, std::size_t size) -> long {
            for (;;) {
                const ssize_t got = read(fd, buffer, size);
                if (got >= 0 || errno != EINTR) {
                    return static_cast<long>(got);
                }
            }
        },
        text);
}

int InflateManifestBytes(std::string_view compressed, std::string& text) {
    std::size_t offset = 0;
    return Inflate(
        [&](char* buffer, std::size_t size) -> long {
            const std::size_t count = std::min(size, compressed.size() - offset);
            compressed.copy(buffer, count, offset);
            offset += count;
            return static_cast<long>(count);
        },
        text);
}

}  // namespace tarnel
