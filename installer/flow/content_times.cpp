#include "installer/flow/content_times.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/unique_fd.h"

namespace tarnel {
namespace {

constexpr long long kFirstFatTime = 315532800;   // 1980-01-01 UTC
constexpr unsigned long kTimeBits = 0x3FFFFFFE;  // even, and below 2038 for 32-bit phones

bool Stamp(const std::filesystem::path& file, std::vector<unsigned char>& buffer,
           std::string* error) {
    unique_fd fd(open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    uLong crc = crc32(0, nullptr, 0);
    ssize_t got = 0;
    while (fd.Get() >= 0 && (got = read(fd.Get(), buffer.data(), buffer.size())) > 0) {
        crc = crc32(crc, buffer.data(), static_cast<uInt>(got));
    }
    const time_t time = static_cast<time_t>(ContentTime(crc));
    const timespec times[2] = {{time, 0}, {time, 0}};
    if (fd.Get() < 0 || got < 0 || futimens(fd.Get(), times) != 0) {
        if (error)
            *error = "cannot stamp " + file.string() + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

}  // namespace

long long ContentTime(unsigned long crc) {
    return kFirstFatTime + static_cast<long long>(crc & kTimeBits);
}

bool StampContentTimes(const std::filesystem::path& folder, std::string* error) {
    std::vector<unsigned char> buffer(1 << 20);
    std::error_code walkError;
    for (std::filesystem::recursive_directory_iterator it(folder, walkError), end;
         !walkError && it != end; it.increment(walkError)) {
        std::error_code typeError;
        if (it->is_regular_file(typeError) && !it->is_symlink(typeError) &&
            !Stamp(it->path(), buffer, error))
            return false;
    }
    if (walkError && error)
        *error = "cannot read " + folder.string() + ": " + walkError.message();
    return !walkError;
}

}  // namespace tarnel
