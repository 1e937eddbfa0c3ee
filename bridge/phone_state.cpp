#include "bridge/phone_state.h"

#include "bridge/device_bridge.h"

namespace tarnel {

PhoneState ParsePhoneState(std::string_view devicesOutput) {
    const size_t header = devicesOutput.find("List of devices attached");
    if (header == std::string_view::npos)
        return PhoneState::Absent;
    std::string_view rest = devicesOutput.substr(header);
    PhoneState best = PhoneState::Absent;
    const auto rank = [](PhoneState state) {
        switch (state) {
            case PhoneState::Ready:
                return 3;
            case PhoneState::Unauthorized:
                return 2;
            case PhoneState::NoPermissions:
                return 1;
            case PhoneState::Absent:
                break;
        }
        return 0;
    };
    rest.remove_prefix(std::min(rest.size(), rest.find('\n')));
    while (!rest.empty()) {
        rest.remove_prefix(1);
        std::string_view line = rest.substr(0, rest.find('\n'));
        rest.remove_prefix(line.size());
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        // The serial ends at the first tab; the state may hold spaces ("no permissions (…)").
        const size_t tab = line.find('\t');
        if (tab == std::string_view::npos)
            continue;
        const std::string_view state = line.substr(tab + 1);
        PhoneState found = PhoneState::Absent;
        if (state == "device")
            found = PhoneState::Ready;
        else if (state == "unauthorized")
            found = PhoneState::Unauthorized;
        else if (state.starts_with("no permissions"))
            found = PhoneState::NoPermissions;
        if (rank(found) > rank(best))
            best = found;
    }
    return best;
}

std::string_view PhoneStateHint(PhoneState state) {
    switch (state) {
        case PhoneState::Unauthorized:
            return "请在手机上允许USB调试";
        case PhoneState::NoPermissions:
            return "没有权限打开手机：请安装Debian的android-sdk-platform-tools-common（udev规则），"
                   "然后重新插上数据线";
        case PhoneState::Absent:
        case PhoneState::Ready:
            break;
    }
    return {};
}

PhoneState DeviceBridge::QueryPhoneState() {
    return ParsePhoneState(Run(ToolCommand::Devices));
}

}  // namespace tarnel
