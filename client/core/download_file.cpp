#include "client/core/download_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <system_error>

#include "client/core/http_header.h"
#include "client/core/http_url.h"

namespace tarnel {
namespace {

constexpr std::size_t kChunk = 1024;

bool WriteWhole(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// Reads the body into fd; false only when writing failed.
bool ReceiveBody(CHttpSocket& http, std::size_t length, int fd, const MessageSink& showMessage) {
    char buffer[kChunk];
    for (std::size_t written = 0; written < length;) {
        if (!http.Connected()) {
            showMessage(socket_text::kServerClosed);
            return true;
        }
        const long n = http.Receive(buffer, std::min(kChunk, length - written));
        if (n <= 0) {
            http.CloseSocket();
            showMessage(n == 0 ? socket_text::kServerClosed : socket_text::kTimedOut);
            return true;
        }
        if (!WriteWhole(fd, buffer, static_cast<std::size_t>(n)))
            return false;
        written += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

bool DownloadFile(const std::string& url, const std::filesystem::path& target,
                  const MessageSink& showMessage, std::chrono::milliseconds limit) {
    std::error_code error;
    std::filesystem::remove(target, error);
    std::filesystem::create_directories(target.parent_path(), error);

    const HttpUrl parts = SplitHttpUrl(url);
    CHttpSocket http(showMessage, limit);
    http.FormatRequest(parts.host, parts.path, parts.port);
    http.CreateSocket();
    http.ConnectHost(parts.host, parts.port);
    http.SendRequest();
    if (http.Connected())
        http.SetReceiveTimeout();
    const std::size_t length = http.HeaderReceived() ? BodyLength(http.Header()) : 0;

    std::string temporary = target.string() + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok =
        ReceiveBody(http, length, fd, showMessage) && ::fchmod(fd, 0644) == 0 && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (!ok || std::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return std::filesystem::exists(target, error);
}

}  // namespace tarnel
