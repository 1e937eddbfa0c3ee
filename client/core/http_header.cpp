#include "client/core/http_header.h"

#include <cctype>

namespace tarnel {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kHeaderEnd = "\r\n\r\n";
constexpr std::string_view kContentLength = "Content-Length";
// The name, the colon and one space.
constexpr std::size_t kValueOffset = 16;
// The length text is read into 32 bytes with its terminator.
constexpr std::size_t kLengthTextLimit = 31;

}  // namespace

bool AppendHeaderByte(std::string& header, char byte) {
    header.push_back(byte);
    if (header.size() >= kHeaderEnd.size() && header.ends_with(kHeaderEnd))
        return true;
    return header.size() >= kHeaderLimit;
}

int GetContentLength(std::string_view header, std::string& out) {
    header = header.substr(0, header.find('\0'));
    const std::size_t name = header.find(kContentLength);
    if (name == std::string_view::npos)
        return -1;
    // A header cut right after the name has no value rather than one read past its end.
    const std::size_t start = std::min(name + kValueOffset, header.size());
    const std::size_t end = header.find(kLineEnd, start);
    out.assign(header.substr(start, end == std::string_view::npos ? end : end - start));
    return static_cast<int>(out.size());
}

std::size_t BodyLength(std::string_view header) {
    std::string text;
    if (GetContentLength(header, text) < 0)
        return 0;
    text.resize(std::min(text.size(), kLengthTextLimit));
    // The C library's decimal conversion: leading blanks, a sign, then digits.
    std::size_t at = 0;
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])))
        ++at;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        if (text[at] == '-')
            return 0;
        ++at;
    }
    std::size_t length = 0;
    for (; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])); ++at) {
        length = length * 10 + static_cast<std::size_t>(text[at] - '0');
        if (length >= kBodyLimit)
            return kBodyLimit;
    }
    return length;
}

}  // namespace tarnel
