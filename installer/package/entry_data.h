#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <span>
#include <stop_token>
#include <string>

struct zip;
struct zip_file;

namespace tarnel {

// The owner of an open archive entry.
struct ZipFileClose {
    void operator()(zip_file* file) const;
};
using ZipFile = std::unique_ptr<zip_file, ZipFileClose>;

enum class CopyStatus { Done, Failed, Cancelled };

struct CopyHooks {
    std::atomic<std::uint64_t>* bytesDone = nullptr;  // advanced as data is written
    std::stop_token stop;
};

// Sizes the open file for its data up front: the blocks are reserved in one go, a full disk shows
// before anything is written, and all-zero blocks of the data can be left unwritten.
bool ReserveFileSize(int fd, std::uint64_t size, std::string* error);

// Copies the whole entry into fd from offset 0. The data must come out exactly expectedSize
// bytes long and match its CRC. fd must have been sized with ReserveFileSize.
CopyStatus CopyEntryToFile(zip* archive, std::uint64_t index, std::uint64_t expectedSize, int fd,
                           std::span<char> buffer, const CopyHooks& hooks, std::string* error);

class WholeEntryReader;
struct EntrySpan;

// Copies an entry that fits whole (FitsWhole) into fd from offset 0, read by reader from the
// package file open at packageFd: one read, one inflate, one check, then the writes. fd must be
// empty; it needs no reservation, as the data is all at hand and written at once.
CopyStatus CopyWholeEntry(WholeEntryReader& reader, int packageFd, const EntrySpan& entry, int fd,
                          const CopyHooks& hooks, std::string* error);

// Copies bytes [offset, offset + length) of a stored entry to the same offset of fd, giving their
// CRC-32 in crc so that the pieces of one entry can be checked together (crc32_combine).
CopyStatus CopyStoredRange(zip* archive, std::uint64_t index, std::uint64_t offset,
                           std::uint64_t length, int fd, std::span<char> buffer,
                           const CopyHooks& hooks, std::uint32_t* crc, std::string* error);

// The same for a stored entry whose data begins at dataStart in the package file open at
// packageFd, by whichever of the two ways below costs less there.
CopyStatus CopyStoredRangeFromPackage(int packageFd, std::uint64_t dataStart, std::uint64_t offset,
                                      std::uint64_t length, int fd, std::span<char> buffer,
                                      const CopyHooks& hooks, std::uint32_t* crc,
                                      std::string* error);

// Whether the kernel copies bytes of the package file from start better than a buffer does: on
// file systems that share blocks (btrfs, XFS; only for a start on a block boundary) or copy on
// the server (NFS, SMB). Elsewhere it copies page by page through the page cache, and the CRC
// takes a second pass over mapped pages: half as costly again as a read and a write through a
// buffer that stays in the processor's cache.
bool KernelCopyPays(int packageFd, std::uint64_t start);

// The kernel moves the bytes (copy_file_range: nothing passes through this process), while the
// CRC is taken from the same pages of the package, mapped.
CopyStatus CopyStoredRangeByKernel(int packageFd, std::uint64_t dataStart, std::uint64_t offset,
                                   std::uint64_t length, int fd, const CopyHooks& hooks,
                                   std::uint32_t* crc, std::string* error);

// The bytes are read into buffer, checked and written; all-zero pieces are left unwritten.
CopyStatus CopyStoredRangeThroughBuffer(int packageFd, std::uint64_t dataStart,
                                        std::uint64_t offset, std::uint64_t length, int fd,
                                        std::span<char> buffer, const CopyHooks& hooks,
                                        std::uint32_t* crc, std::string* error);

// Writes size bytes at offset of fd unless they are all zero: the file already has its final size
// and reads as zeros where nothing was written, so zero blocks (sparse game data, padding) cost
// no writes.
bool WriteAt(int fd, const char* data, std::size_t size, std::uint64_t offset, std::string* error);

// Reads exactly size bytes at offset of fd; a file ending early is "entry data ends early".
bool ReadFullyAt(int fd, char* data, std::size_t size, std::uint64_t offset, std::string* error);

}  // namespace tarnel
