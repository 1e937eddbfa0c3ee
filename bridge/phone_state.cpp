#include "bridge/phone_state.h"

#include <algorithm>
#include <iterator>
#include <optional>

#include "bridge/device_bridge.h"

namespace tarnel {
namespace {

constexpr std::string_view kBlanks = " \t";

std::string_view TrimRight(std::string_view text) {
    const size_t last = text.find_last_not_of(kBlanks);
    return last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
}

// The key:value words adb appends after the state with -l.
bool IsListingKey(std::string_view word) {
    static constexpr std::string_view kKeys[] = {
        "usb:", "product:", "model:", "device:", "transport_id:"};
    return std::ranges::any_of(kKeys, [&](std::string_view key) { return word.starts_with(key); });
}

std::optional<AttachedPhone> ParseLine(std::string_view line) {
    static constexpr std::string_view kNoPermissions = "no permissions";
    AttachedPhone phone;
    line = TrimRight(line);
    // The key:value words, last first.
    while (true) {
        const size_t blank = line.find_last_of(kBlanks);
        if (blank == std::string_view::npos)
            break;
        const std::string_view word = line.substr(blank + 1);
        if (!IsListingKey(word))
            break;
        if (word.starts_with("model:"))
            phone.model = word.substr(6);
        else if (word.starts_with("transport_id:"))
            phone.transportId = word.substr(13);
        line = TrimRight(line.substr(0, blank));
    }
    // "no permissions (missing udev rules? …); see [URL]" holds blanks: it is the state from its
    // first word on.
    const size_t noPermissions = line.rfind(kNoPermissions);
    size_t stateAt = std::string_view::npos;
    if (noPermissions != std::string_view::npos && noPermissions > 0 &&
        kBlanks.find(line[noPermissions - 1]) != std::string_view::npos) {
        stateAt = noPermissions;
    } else {
        const size_t blank = line.find_last_of(kBlanks);
        if (blank != std::string_view::npos)
            stateAt = blank + 1;
    }
    if (stateAt == std::string_view::npos)
        return std::nullopt;
    phone.serial = TrimRight(line.substr(0, stateAt));
    phone.state = line.substr(stateAt);
    if (phone.serial.empty() || phone.state.empty())
        return std::nullopt;
    return phone;
}

int Rank(PhoneState state) {
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
}

}  // namespace

PhoneState AttachedPhone::Kind() const {
    if (state == "device")
        return PhoneState::Ready;
    if (state == "unauthorized")
        return PhoneState::Unauthorized;
    if (state.starts_with("no permissions"))
        return PhoneState::NoPermissions;
    return PhoneState::Absent;
}

std::vector<AttachedPhone> ParseDeviceList(std::string_view devicesOutput) {
    static constexpr std::string_view kHeader = "List of devices attached";
    std::vector<AttachedPhone> phones;
    const size_t header = devicesOutput.find(kHeader);
    if (header == std::string_view::npos)
        return phones;
    std::string_view rest = devicesOutput.substr(header);
    rest.remove_prefix(std::min(rest.size(), rest.find('\n')));
    while (!rest.empty()) {
        rest.remove_prefix(1);
        std::string_view line = rest.substr(0, rest.find('\n'));
        rest.remove_prefix(line.size());
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        // The daemon's own lines ("* daemon started successfully") start with '*'.
        if (line.empty() || line.front() == '*' || line.starts_with("adb server"))
            continue;
        if (std::optional<AttachedPhone> phone = ParseLine(line))
            phones.push_back(std::move(*phone));
    }
    return phones;
}

std::vector<AttachedPhone> ReadyPhones(const std::vector<AttachedPhone>& phones) {
    std::vector<AttachedPhone> ready;
    std::ranges::copy_if(phones, std::back_inserter(ready), &AttachedPhone::Ready);
    return ready;
}

PhoneState ParsePhoneState(std::string_view devicesOutput) {
    return BestPhoneState(ParseDeviceList(devicesOutput));
}

PhoneState BestPhoneState(const std::vector<AttachedPhone>& phones) {
    PhoneState best = PhoneState::Absent;
    for (const AttachedPhone& phone : phones) {
        if (Rank(phone.Kind()) > Rank(best))
            best = phone.Kind();
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
