#include "installer/package/entry_data.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <optional>

#include "installer/package/whole_entry.h"

namespace tarnel {

void ZipFileClose::operator()(zip_file* file) const {
    zip_fclose(file);
}

namespace {

bool AllZero(const char* data, std::size_t size) {
    return size == 0 || (data[0] == 0 && std::memcmp(data, data + 1, size - 1) == 0);
}

}  // namespace

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

namespace {

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

// Copies length bytes to offset of fd piece by piece, each piece read into buffer by read(offset,
// size), which gives the bytes read, or 0 with error set; gives the CRC of them all in crc.
template <typename Read>
CopyStatus CopyPieces(const Read& read, std::uint64_t offset, std::uint64_t length, int fd,
                      std::span<char> buffer, const CopyHooks& hooks, std::uint32_t* crc,
                      std::string* error) {
    std::uint32_t sum = 0;
    while (length > 0) {
        if (hooks.stop.stop_requested()) {
            return CopyStatus::Cancelled;
        }
        const std::size_t size =
            read(offset, static_cast<std::size_t>(std::min<std::uint64_t>(length, buffer.size())));
        if (size == 0) {
            return CopyStatus::Failed;
        }
        sum = Crc32(sum, {buffer.data(), size});
        if (!WriteAt(fd, buffer.data(), size, offset, error)) {
            return CopyStatus::Failed;
        }
        offset += size;
        length -= size;
        if (hooks.bytesDone) {
            hooks.bytesDone->fetch_add(size, std::memory_order_relaxed);
        }
    }
    *crc = sum;
    return CopyStatus::Done;
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

CopyStatus CopyWholeEntry(WholeEntryReader& reader, int packageFd, const EntrySpan& entry, int fd,
                          const CopyHooks& hooks, std::string* error) {
    if (hooks.stop.stop_requested()) {
        return CopyStatus::Cancelled;
    }
    const std::optional<std::span<const char>> read = reader.Read(packageFd, entry, error);
    if (!read) {
        return CopyStatus::Failed;
    }
    const std::span<const char> data = *read;
    // In pieces, so that zero blocks stay unwritten as in the streaming copy.
    constexpr std::size_t kPiece = 256 << 10;
    for (std::size_t offset = 0; offset < data.size(); offset += kPiece) {
        const std::size_t size = std::min(kPiece, data.size() - offset);
        if (!WriteAt(fd, data.data() + offset, size, offset, error)) {
            return CopyStatus::Failed;
        }
    }
    // An unwritten zero tail would leave the file short.
    const std::size_t tail = data.empty() ? 0 : (data.size() - 1) / kPiece * kPiece;
    if (AllZero(data.data() + tail, data.size() - tail) &&
        ftruncate(fd, static_cast<off_t>(data.size())) != 0) {
        *error = std::string("cannot size file: ") + std::strerror(errno);
        return CopyStatus::Failed;
    }
    if (hooks.bytesDone) {
        hooks.bytesDone->fetch_add(data.size(), std::memory_order_relaxed);
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
    const auto read = [&](std::uint64_t, std::size_t size) -> std::size_t {
        const zip_int64_t got = zip_fread(file.get(), buffer.data(), size);
        if (got <= 0) {
            *error = got < 0 ? ReadFailure(file.get()) : "entry data ends early";
            return 0;
        }
        return static_cast<std::size_t>(got);
    };
    return CopyPieces(read, offset, length, fd, buffer, hooks, crc, error);
}

namespace {

constexpr std::uint64_t kKernelChunk = 8 << 20;

// Maps [start, start + size) of fd for reading, its pages taken in at once rather than one fault
// at a time; the mapping begins at a page boundary.
class MappedRange {
  public:
    MappedRange(int fd, std::uint64_t start, std::size_t size) {
        const auto page = static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE));
        skip_ = static_cast<std::size_t>(start % page);
        length_ = skip_ + size;
        void* map = mmap(nullptr, length_, PROT_READ, MAP_SHARED | MAP_POPULATE, fd,
                         static_cast<off_t>(start - skip_));
        base_ = map == MAP_FAILED ? nullptr : static_cast<const char*>(map);
    }
    MappedRange(const MappedRange&) = delete;
    MappedRange& operator=(const MappedRange&) = delete;
    ~MappedRange() {
        if (base_)
            munmap(const_cast<char*>(base_), length_);
    }
    const char* Data() const { return base_ ? base_ + skip_ : nullptr; }

  private:
    const char* base_ = nullptr;
    std::size_t skip_ = 0;
    std::size_t length_ = 0;
};

// Where the kernel cannot copy between these two files, the mapped bytes are written instead.
bool KernelCannotCopy(int error) {
    return error == EXDEV || error == EINVAL || error == ENOSYS || error == EOPNOTSUPP ||
           error == EBADF;
}

}  // namespace

bool ReadFullyAt(int fd, char* data, std::size_t size, std::uint64_t offset, std::string* error) {
    while (size > 0) {
        const ssize_t got = pread(fd, data, size, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            *error = got < 0 ? std::string("cannot read entry: ") + std::strerror(errno)
                             : "entry data ends early";
            return false;
        }
        data += got;
        size -= static_cast<std::size_t>(got);
        offset += static_cast<std::uint64_t>(got);
    }
    return true;
}

bool KernelCopyPays(int packageFd, std::uint64_t start) {
    struct statfs system {};
    if (fstatfs(packageFd, &system) != 0) {
        return false;
    }
    switch (static_cast<unsigned long>(system.f_type)) {
        case NFS_SUPER_MAGIC:
        case CIFS_SUPER_MAGIC:
        case SMB2_SUPER_MAGIC:
            return true;
        case BTRFS_SUPER_MAGIC:
        case XFS_SUPER_MAGIC:
            return system.f_bsize > 0 && start % static_cast<std::uint64_t>(system.f_bsize) == 0;
        default:
            return false;
    }
}

CopyStatus CopyStoredRangeFromPackage(int packageFd, std::uint64_t dataStart, std::uint64_t offset,
                                      std::uint64_t length, int fd, std::span<char> buffer,
                                      const CopyHooks& hooks, std::uint32_t* crc,
                                      std::string* error) {
    return KernelCopyPays(packageFd, dataStart + offset)
               ? CopyStoredRangeByKernel(packageFd, dataStart, offset, length, fd, hooks, crc,
                                         error)
               : CopyStoredRangeThroughBuffer(packageFd, dataStart, offset, length, fd, buffer,
                                              hooks, crc, error);
}

CopyStatus CopyStoredRangeThroughBuffer(int packageFd, std::uint64_t dataStart,
                                        std::uint64_t offset, std::uint64_t length, int fd,
                                        std::span<char> buffer, const CopyHooks& hooks,
                                        std::uint32_t* crc, std::string* error) {
    const auto read = [&](std::uint64_t offset, std::size_t size) -> std::size_t {
        return ReadFullyAt(packageFd, buffer.data(), size, dataStart + offset, error) ? size : 0;
    };
    return CopyPieces(read, offset, length, fd, buffer, hooks, crc, error);
}

CopyStatus CopyStoredRangeByKernel(int packageFd, std::uint64_t dataStart, std::uint64_t offset,
                                   std::uint64_t length, int fd, const CopyHooks& hooks,
                                   std::uint32_t* crc, std::string* error) {
    struct stat package {};
    if (fstat(packageFd, &package) != 0 ||
        dataStart + offset + length > static_cast<std::uint64_t>(package.st_size)) {
        *error = "entry data ends early";
        return CopyStatus::Failed;
    }
    std::uint32_t sum = 0;
    bool kernel = true;
    while (length > 0) {
        if (hooks.stop.stop_requested()) {
            return CopyStatus::Cancelled;
        }
        const auto size = static_cast<std::size_t>(std::min(length, kKernelChunk));
        const MappedRange source(packageFd, dataStart + offset, size);
        if (!source.Data()) {
            *error = std::string("cannot read entry: ") + std::strerror(errno);
            return CopyStatus::Failed;
        }
        sum = Crc32(sum, {source.Data(), size});
        std::size_t copied = 0;
        while (kernel && copied < size) {
            loff_t from = static_cast<loff_t>(dataStart + offset + copied);
            loff_t to = static_cast<loff_t>(offset + copied);
            const ssize_t moved = copy_file_range(packageFd, &from, fd, &to, size - copied, 0);
            if (moved < 0 && errno == EINTR) {
                continue;
            }
            if (moved < 0 && KernelCannotCopy(errno) && copied == 0) {
                kernel = false;
                break;
            }
            if (moved <= 0) {
                *error = std::string("cannot write: ") + std::strerror(moved < 0 ? errno : ENOSPC);
                return CopyStatus::Failed;
            }
            copied += static_cast<std::size_t>(moved);
        }
        if (!kernel && !WriteAt(fd, source.Data(), size, offset, error)) {
            return CopyStatus::Failed;
        }
        offset += size;
        length -= size;
        if (hooks.bytesDone) {
            hooks.bytesDone->fetch_add(size, std::memory_order_relaxed);
        }
    }
    *crc = sum;
    return CopyStatus::Done;
}

}  // namespace tarnel
