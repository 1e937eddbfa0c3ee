#include "installer/package/entry_data.h"

#include <fcntl.h>
#include <unistd.h>
#include <zip.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

namespace tarnel {

void ZipFileClose::operator()(zip_file* file) const {
    zip_fclose(file);
}

namespace {

bool AllZero(const char* data, std::size_t size) {
    return size == 0 || (data[0] == 0 && std::memcmp(data, data + 1, size - 1) == 0);
}

// The file already has its final size and reads as zeros where nothing was written, so zero
// blocks (sparse game data, padding) cost no writes.
bool WriteAt(int fd, const char* data, std::size_t size, std::uint64_t offset, std::string* error) {
    if (AllZero(data, size)) {
        return true;
    }
    while (size > 0) {
        const ssize_t written = pwrite(fd, data, size, static_cast<off_t>(offset));
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            *error = std::string("cannot write: ") + std::strerror(written < 0 ? errno : ENOSPC);
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
        offset += static_cast<std::uint64_t>(written);
    }
    return true;
}

ZipFile OpenEntry(zip* archive, std::uint64_t index, std::string* error) {
    ZipFile file(zip_fopen_index(archive, index, 0));
    if (!file) {
        *error = std::string("cannot read entry: ") + zip_strerror(archive);
    }
    return file;
}

std::string ReadFailure(zip_file_t* file) {
    zip_error_t* failure = zip_file_get_error(file);
    if (zip_error_code_zip(failure) == ZIP_ER_CRC) {
        return "CRC error: the data is damaged";
    }
    return std::string("cannot read entry: ") + zip_error_strerror(failure);
}

}  // namespace

bool ReserveFileSize(int fd, std::uint64_t size, std::string* error) {
    if (size == 0) {
        return true;
    }
    const int result = posix_fallocate(fd, 0, static_cast<off_t>(size));
    if (result == 0) {
        return true;
    }
    if (result == ENOSPC || result == EFBIG) {
        *error = std::string("not enough disk space: ") + std::strerror(result);
        return false;
    }
    // File systems without block reservation still take a plain size.
    if (ftruncate(fd, static_cast<off_t>(size)) != 0) {
        *error = std::string("cannot size file: ") + std::strerror(errno);
        return false;
    }
    return true;
}

CopyStatus CopyEntryToFile(zip* archive, std::uint64_t index, std::uint64_t expectedSize, int fd,
                           std::span<char> buffer, const CopyHooks& hooks, std::string* error) {
    ZipFile file = OpenEntry(archive, index, error);
    if (!file) {
        return CopyStatus::Failed;
    }
    std::uint64_t offset = 0;
    for (;;) {
        if (hooks.stop.stop_requested()) {
            return CopyStatus::Cancelled;
        }
        const zip_int64_t got = zip_fread(file.get(), buffer.data(), buffer.size());
        if (got < 0) {
            *error = ReadFailure(file.get());
            return CopyStatus::Failed;
        }
        if (got == 0) {
            break;
        }
        if (offset + static_cast<std::uint64_t>(got) > expectedSize) {
            *error = "entry holds more data than its header says";
            return CopyStatus::Failed;
        }
        if (!WriteAt(fd, buffer.data(), static_cast<std::size_t>(got), offset, error)) {
            return CopyStatus::Failed;
        }
        offset += static_cast<std::uint64_t>(got);
        if (hooks.bytesDone) {
            hooks.bytesDone->fetch_add(static_cast<std::uint64_t>(got), std::memory_order_relaxed);
        }
    }
    if (offset != expectedSize) {
        *error = "entry data ends early (" + std::to_string(offset) + " of " +
                 std::to_string(expectedSize) + " bytes)";
        return CopyStatus::Failed;
    }
    return CopyStatus::Done;
}

CopyStatus CopyStoredRange(zip* archive, std::uint64_t index, std::uint64_t offset,
                           std::uint64_t length, int fd, std::span<char> buffer,
                           const CopyHooks& hooks, std::uint32_t* crc, std::string* error) {
    ZipFile file = OpenEntry(archive, index, error);
    if (!file) {
        return CopyStatus::Failed;
    }
    if (offset > 0 && zip_fseek(file.get(), static_cast<zip_int64_t>(offset), SEEK_SET) != 0) {
        *error = ReadFailure(file.get());
        return CopyStatus::Failed;
    }
    uLong sum = crc32(0L, Z_NULL, 0);
    std::uint64_t left = length;
    while (left > 0) {
        if (hooks.stop.stop_requested()) {
            return CopyStatus::Cancelled;
        }
        const std::size_t want =
            static_cast<std::size_t>(std::min<std::uint64_t>(left, buffer.size()));
        const zip_int64_t got = zip_fread(file.get(), buffer.data(), want);
        if (got < 0) {
            *error = ReadFailure(file.get());
            return CopyStatus::Failed;
        }
        if (got == 0) {
            *error = "entry data ends early";
            return CopyStatus::Failed;
        }
        const auto size = static_cast<std::size_t>(got);
        sum = crc32_z(sum, reinterpret_cast<const Bytef*>(buffer.data()), size);
        if (!WriteAt(fd, buffer.data(), size, offset, error)) {
            return CopyStatus::Failed;
        }
        offset += size;
        left -= size;
        if (hooks.bytesDone) {
            hooks.bytesDone->fetch_add(size, std::memory_order_relaxed);
        }
    }
    *crc = static_cast<std::uint32_t>(sum);
    return CopyStatus::Done;
}

}  // namespace tarnel
