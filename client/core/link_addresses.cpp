#include "client/core/link_addresses.h"

#include <algorithm>

#include "platform/ini_profile.h"

namespace tarnel {
namespace {

// An address handed to the browser: a web address with a host, nothing a browser would read as
// an option or a local file.
bool UsableAddress(const std::string& address) {
    const bool web = address.starts_with("http://") || address.starts_with("https://");
    const size_t host = address.find("://") + 3;
    const bool printable = std::all_of(address.begin(), address.end(), [](char c) {
        return static_cast<unsigned char>(c) > 0x20 && c != 0x7f;
    });
    return web && printable && host < address.size() && address[host] != '/';
}

std::string AddressOr(const IniProfile& ini, const char* key, const char* fallback) {
    const std::string value = ini.Read("URL", key);
    return UsableAddress(value) ? value : fallback;
}

}  // namespace

LinkAddresses ReadLinkAddresses(const std::filesystem::path& updateIni) {
    const IniProfile ini(updateIni);
    return {.microblog = AddressOr(ini, "weibourl", kDefaultMicroblogAddress),
            .chatGroup = AddressOr(ini, "qqgroupurl", kDefaultChatGroupAddress)};
}

}  // namespace tarnel
