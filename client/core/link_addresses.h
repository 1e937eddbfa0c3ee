#pragma once

#include <filesystem>
#include <string>

namespace tarnel {

inline constexpr const char* kDefaultMicroblogAddress = "http://weibo.com/tarnel";
inline constexpr const char* kDefaultChatGroupAddress = "http://jq.qq.com/?_wv=1027&k=Tn4rQk";

// Where the window's two link buttons lead: keys "weibourl" and "qqgroupurl" of section "URL" in
// the program folder's Update.ini. A missing file or key, or a value that is not a plain http or
// https address, gives the default.
struct LinkAddresses {
    std::string microblog = kDefaultMicroblogAddress;
    std::string chatGroup = kDefaultChatGroupAddress;
};

LinkAddresses ReadLinkAddresses(const std::filesystem::path& updateIni);

}  // namespace tarnel
