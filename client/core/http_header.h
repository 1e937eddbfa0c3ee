#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tarnel {

// A response header is read up to and including its blank line, never beyond this many bytes.
constexpr std::size_t kHeaderLimit = 1024;

// A version file is a few lines: a larger announced body is cut to this, so a hostile server
// cannot fill the disk.
constexpr std::size_t kBodyLimit = 64 * 1024;

// Adds one received byte; true when the header is complete (CR LF CR LF) or full.
bool AppendHeaderByte(std::string& header, char byte);

// The value of the first "Content-Length" (case-sensitive, anywhere in the header text, which ends
// at its first zero byte): from 16 characters after the name's start to the next CR LF. Returns
// the value's length and sets out, or -1 with out unchanged when the name is absent.
int GetContentLength(std::string_view header, std::string& out);

// The body length to read: the leading decimal number of the first 31 characters of the
// Content-Length value, 0 when there is none or it is negative, at most kBodyLimit.
std::size_t BodyLength(std::string_view header);

}  // namespace tarnel
