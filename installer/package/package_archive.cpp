#include "installer/package/package_archive.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>
#include <utility>
#include <vector>

#include "installer/package/entry_data.h"
#include "installer/package/entry_offsets.h"
#include "platform/unique_fd.h"

namespace tarnel {

namespace {

constexpr std::uint16_t kExtendedTimestampId = 0x5455;
constexpr std::size_t kReadBufferSize = 1 << 20;

}  // namespace

void ZipDiscard::operator()(zip* archive) const {
    zip_discard(archive);
}

std::string ZipErrorText(int code) {
    zip_error_t failure;
    zip_error_init_with_code(&failure, code);
    std::string text = zip_error_strerror(&failure);
    zip_error_fini(&failure);
    return text;
}

PackageArchive::PackageArchive(std::unique_ptr<zip, ZipDiscard> archive, std::filesystem::path path)
    : zip_(std::move(archive)), path_(std::move(path)) {}

std::optional<PackageArchive> PackageArchive::Open(const std::filesystem::path& path,
                                                   std::string* error, Check check) {
    int code = 0;
    const int flags = ZIP_RDONLY | (check == Check::Full ? ZIP_CHECKCONS : 0);
    std::unique_ptr<zip, ZipDiscard> archive(zip_open(path.c_str(), flags, &code));
    if (!archive) {
        if (error) {
            *error = ZipErrorText(code);
        }
        return std::nullopt;
    }
    // The reader would give such a name cut short: another file than the one in the package.
    if (const unique_fd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
        !fd || CentralNameHoldsNul(fd.Get())) {
        if (error) {
            *error = !fd ? std::strerror(errno) : "NUL byte in file name";
        }
        return std::nullopt;
    }
    return PackageArchive(std::move(archive), path);
}

std::uint64_t PackageArchive::Count() const {
    const zip_int64_t count = zip_get_num_entries(zip_.get(), 0);
    return count < 0 ? 0 : static_cast<std::uint64_t>(count);
}

std::optional<ArchiveEntry> PackageArchive::Entry(std::uint64_t index) const {
    zip_stat_t stat;
    if (index >= Count() || zip_stat_index(zip_.get(), index, 0, &stat) != 0) {
        return std::nullopt;
    }
    ArchiveEntry entry;
    entry.index = index;
    entry.name = stat.name ? stat.name : "";
    entry.size = stat.size;
    entry.compressedSize = stat.comp_size;
    entry.crc = stat.crc;
    entry.stored = stat.comp_method == ZIP_CM_STORE;
    entry.deflated = stat.comp_method == ZIP_CM_DEFLATE;
    entry.encrypted =
        (stat.valid & ZIP_STAT_ENCRYPTION_METHOD) != 0 && stat.encryption_method != ZIP_EM_NONE;
    std::uint8_t system = 0;
    std::uint32_t external = 0;
    zip_file_get_external_attributes(zip_.get(), index, 0, &system, &external);
    entry.attributes =
        AttributesFromExternal(external, !entry.name.empty() && entry.name.back() == '/');
    entry.times = TimesFromDos(stat.mtime);
    std::uint16_t length = 0;
    const std::uint8_t* field = zip_file_extra_field_get_by_id(
        zip_.get(), index, kExtendedTimestampId, 0, &length, ZIP_FL_CENTRAL);
    if (field) {
        ApplyExtendedTimestamp({field, length}, entry.times);
    }
    return entry;
}

std::optional<std::uint64_t> PackageArchive::Find(std::string_view name) const {
    const std::string wanted(name);
    const zip_int64_t index = zip_name_locate(zip_.get(), wanted.c_str(), ZIP_FL_NOCASE);
    if (index < 0) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(index);
}

bool PackageArchive::ExtractToOpenFile(std::uint64_t index, int fd, std::string* error,
                                       std::uint64_t limit) const {
    std::string failure;
    const std::optional<ArchiveEntry> entry = Entry(index);
    if (!entry || entry->IsDirectory() || entry->IsSymbolicLink()) {
        failure = "not a file entry";
    } else if (entry->size > limit) {
        failure = "entry too long";
    } else {
        std::vector<char> buffer(std::min<std::uint64_t>(kReadBufferSize, entry->size + 1));
        if (ReserveFileSize(fd, entry->size, &failure) &&
            CopyEntryToFile(zip_.get(), index, entry->size, fd, buffer, {}, &failure) ==
                CopyStatus::Done &&
            !SetFileTimes(fd, entry->times)) {
            failure = kTimesFailure;
        }
    }
    if (!failure.empty() && error) {
        *error = failure;
    }
    return failure.empty();
}

bool PackageArchive::ExtractToFile(std::uint64_t index, const std::filesystem::path& target,
                                   std::string* error, std::uint64_t limit) const {
    std::error_code folderFailure;
    if (target.has_parent_path()) {
        std::filesystem::create_directories(target.parent_path(), folderFailure);
    }
    unlink(target.c_str());
    unique_fd fd(open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
    if (!fd) {
        if (error) {
            *error = "cannot create " + target.string() + ": " + std::strerror(errno);
        }
        return false;
    }
    bool written = ExtractToOpenFile(index, fd.Get(), error, limit);
    if (!fd.Close() && written) {
        written = false;
        if (error) {
            *error = "cannot write " + target.string() + ": " + std::strerror(errno);
        }
    }
    if (!written) {
        unlink(target.c_str());
    }
    return written;
}

std::optional<std::string> PackageArchive::ReadWhole(std::uint64_t index, std::uint64_t limit,
                                                     std::string* error) const {
    const std::optional<ArchiveEntry> entry = Entry(index);
    std::string failure;
    if (!entry) {
        failure = "no such entry";
    } else if (entry->size > limit) {
        failure = "entry too long";
    }
    std::string data;
    if (failure.empty()) {
        const ZipFile file(zip_fopen_index(zip_.get(), index, 0));
        if (!file) {
            failure = zip_strerror(zip_.get());
        } else {
            data.resize(entry->size);
            const zip_int64_t got = zip_fread(file.get(), data.data(), data.size());
            char extra = 0;
            // One more read reaches the end of the entry, where libzip checks the CRC.
            if (got != static_cast<zip_int64_t>(data.size()) ||
                zip_fread(file.get(), &extra, 1) != 0) {
                failure = zip_error_code_zip(zip_file_get_error(file.get())) == ZIP_ER_CRC
                              ? "CRC error: the data is damaged"
                              : "entry data is damaged";
            }
        }
    }
    if (!failure.empty()) {
        if (error) {
            *error = failure;
        }
        return std::nullopt;
    }
    return data;
}

}  // namespace tarnel
