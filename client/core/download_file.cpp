#include "client/core/download_file.h"

#include <algorithm>
#include <system_error>

#include "client/core/http_header.h"
#include "client/core/http_url.h"
#include "platform/atomic_file.h"

namespace tarnel {
namespace {

constexpr std::size_t kChunk = 1024;

// Reads up to length body bytes; what arrived before the server closed or went silent counts.
std::string ReceiveBody(CHttpSocket& http, std::size_t length, const MessageSink& showMessage) {
    std::string body;
    char buffer[kChunk];
    while (body.size() < length) {
        if (!http.Connected()) {
            showMessage(socket_text::kServerClosed);
            break;
        }
        const long n = http.Receive(buffer, std::min(kChunk, length - body.size()));
        if (n <= 0) {
            http.CloseSocket();
            showMessage(n == 0 ? socket_text::kServerClosed : socket_text::kTimedOut);
            break;
        }
        body.append(buffer, static_cast<std::size_t>(n));
    }
    return body;
}

}  // namespace

bool DownloadFile(const std::string& url, const std::filesystem::path& target,
                  const MessageSink& showMessage, std::chrono::milliseconds limit) {
    std::error_code error;
    std::filesystem::remove(target, error);

    const HttpUrl parts = SplitHttpUrl(url);
    CHttpSocket http(showMessage, limit);
    http.FormatRequest(parts.host, parts.path, parts.port);
    http.CreateSocket();
    http.ConnectHost(parts.host, parts.port);
    http.SendRequest();
    if (http.Connected())
        http.SetReceiveTimeout();
    const std::size_t length = http.HeaderReceived() ? BodyLength(http.Header()) : 0;
    // At most kBodyLimit bytes: held whole, then written at once.
    return WriteFileAtomically(target, ReceiveBody(http, length, showMessage));
}

}  // namespace tarnel
