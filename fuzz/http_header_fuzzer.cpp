// Feeds response bytes through the byte-by-byte header reader, the Content-Length search and the
// body length, as the update check receives them.
#include <cstddef>
#include <cstdint>
#include <string>

#include "client/core/http_header.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string header;
    std::size_t used = 0;
    while (used < size && !tarnel::AppendHeaderByte(header, static_cast<char>(data[used]))) {
        ++used;
    }
    if (header.size() > tarnel::kHeaderLimit) {
        __builtin_trap();
    }
    std::string value;
    const int length = tarnel::GetContentLength(header, value);
    if (length != -1 && length != static_cast<int>(value.size())) {
        __builtin_trap();
    }
    if (tarnel::BodyLength(header) > tarnel::kBodyLimit) {
        __builtin_trap();
    }
    return 0;
}
