#pragma once

#include <chrono>
#include <filesystem>
#include <string>

#include "client/core/http_socket.h"

namespace tarnel {

// Fetches url (plain HTTP) and saves the response body, byte for byte and at most kBodyLimit, as
// target, written at once, so a reader never meets a half-written file; any older target is
// removed first, so it is never mistaken for this one.
// What arrived before the server closed or went silent is kept, after its message. True when
// target exists afterwards (it may be empty: no header, no Content-Length, no connection).
bool DownloadFile(const std::string& url, const std::filesystem::path& target,
                  const MessageSink& showMessage, std::chrono::milliseconds limit = kReceiveLimit);

}  // namespace tarnel
