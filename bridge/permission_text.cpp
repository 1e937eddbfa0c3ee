#include "bridge/permission_text.h"

namespace tarnel {

std::vector<std::string> RequestedPermissions(std::string_view badging) {
    static constexpr std::string_view kMarker = "uses-permission:";
    static constexpr std::string_view kNamed = " name='";
    std::vector<std::string> names;
    size_t at = 0;
    while ((at = badging.find(kMarker, at)) != std::string_view::npos) {
        at += kMarker.size();
        if (badging.compare(at, 1, "'") == 0) {
            at += 1;
        } else if (badging.compare(at, kNamed.size(), kNamed) == 0) {
            at += kNamed.size();
        } else {
            continue;
        }
        size_t end = badging.find('\'', at);
        if (end == std::string_view::npos)
            end = badging.size();
        names.emplace_back(badging.substr(at, end - at));
        at = end;
    }
    return names;
}

std::string DescribePermissions(const PermissionMap& table, std::string_view badging,
                                BridgeVariant variant) {
    const bool installer = variant == BridgeVariant::Installer;
    std::string text = installer ? "    " : "";
    for (const std::string& name : RequestedPermissions(badging)) {
        auto row = table.find(name);
        if (row == table.end() || row->second.empty())
            continue;
        text += row->second;
        text += installer ? "\r\n    " : "\n";
    }
    return text;
}

}  // namespace tarnel
