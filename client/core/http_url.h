#pragma once

#include <string>

namespace tarnel {

struct HttpUrl {
    std::string host;  // empty when the text is not an absolute http URL
    std::string path;  // "/" when the URL names none
    int port = 80;
};

// Splits "http://host[:port][/path]" (scheme case-insensitive; user information and fragment
// dropped, query kept with the path).
HttpUrl SplitHttpUrl(const std::string& url);

}  // namespace tarnel
