#include "client/core/http_url.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace tarnel {

HttpUrl SplitHttpUrl(const std::string& url) {
    constexpr std::string_view kScheme = "http://";
    HttpUrl result;
    std::string_view rest(url);
    rest = rest.substr(0, rest.find('#'));
    const bool isHttp =
        rest.size() >= kScheme.size() &&
        std::equal(kScheme.begin(), kScheme.end(), rest.begin(),
                   [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
    if (!isHttp)
        return result;
    rest.remove_prefix(kScheme.size());

    const std::size_t pathStart = rest.find_first_of("/?");
    std::string_view authority = rest.substr(0, pathStart);
    std::string_view path = pathStart == std::string_view::npos ? "" : rest.substr(pathStart);
    if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos)
        authority.remove_prefix(at + 1);

    std::string_view host = authority;
    if (const std::size_t colon = authority.find(':'); colon != std::string_view::npos) {
        host = authority.substr(0, colon);
        const std::string_view digits = authority.substr(colon + 1);
        if (!digits.empty()) {
            int port = 0;
            for (char c : digits) {
                if (!std::isdigit(static_cast<unsigned char>(c)) || port > 65535)
                    return {};
                port = port * 10 + (c - '0');
            }
            if (port < 1 || port > 65535)
                return {};
            result.port = port;
        }
    }
    result.host.assign(host);
    result.path = path.empty() ? "/" : (path.front() == '?' ? "/" : "") + std::string(path);
    return result;
}

}  // namespace tarnel
