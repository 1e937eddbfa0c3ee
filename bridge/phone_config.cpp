#include "bridge/phone_config.h"

#include <charconv>
#include <map>

namespace tarnel {
namespace {

constexpr const char* kQuestions[][2] = {
    {"abilist", "getprop ro.product.cpu.abilist"},
    {"abi", "getprop ro.product.cpu.abi"},
    {"wm", "wm density"},
    {"lcd", "getprop ro.sf.lcd_density"},
    {"locale", "getprop persist.sys.locale"},
    {"productlocale", "getprop ro.product.locale"},
};

std::string_view Trim(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return {};
    const size_t last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

// The answer's lines under each "@name" line.
std::map<std::string, std::vector<std::string>, std::less<>> Sections(std::string_view answer) {
    std::map<std::string, std::vector<std::string>, std::less<>> sections;
    std::vector<std::string>* current = nullptr;
    size_t start = 0;
    while (start <= answer.size()) {
        size_t end = answer.find('\n', start);
        if (end == std::string_view::npos)
            end = answer.size();
        const std::string_view line = Trim(answer.substr(start, end - start));
        if (line.starts_with("@"))
            current = &sections[std::string(line.substr(1))];
        else if (current != nullptr && !line.empty())
            current->emplace_back(line);
        start = end + 1;
    }
    return sections;
}

std::string First(const auto& sections, std::string_view name) {
    const auto it = sections.find(name);
    return it == sections.end() || it->second.empty() ? std::string() : it->second.front();
}

int Number(std::string_view text) {
    text = Trim(text);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && value > 0 ? value : 0;
}

int WmDensity(const std::vector<std::string>& lines) {
    int physical = 0;
    for (const std::string& line : lines) {
        constexpr std::string_view kOverride = "Override density:";
        constexpr std::string_view kPhysical = "Physical density:";
        if (line.starts_with(kOverride)) {
            if (const int value = Number(std::string_view(line).substr(kOverride.size())))
                return value;
        } else if (line.starts_with(kPhysical)) {
            physical = Number(std::string_view(line).substr(kPhysical.size()));
        }
    }
    return physical;
}

std::vector<std::string> AbiList(std::string_view text) {
    std::vector<std::string> abis;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(',', start);
        if (end == std::string_view::npos)
            end = text.size();
        if (const std::string_view abi = Trim(text.substr(start, end - start)); !abi.empty())
            abis.emplace_back(abi);
        start = end + 1;
    }
    return abis;
}

// A getprop value is one word; anything else on its line is a shell's complaint.
bool IsWord(std::string_view value) {
    return !value.empty() && value.find_first_of(" :") == std::string_view::npos;
}

}  // namespace

std::string PhoneConfigQuery() {
    std::string line;
    for (const auto& [name, question] : kQuestions) {
        line += std::string(line.empty() ? "" : "; ") + "echo @" + name + "; " + question;
    }
    return line;
}

PhoneConfig ParsePhoneConfig(std::string_view answer) {
    const auto sections = Sections(answer);
    PhoneConfig config;
    for (const char* key : {"abilist", "abi"}) {
        if (const std::string value = First(sections, key); IsWord(value)) {
            config.abis = AbiList(value);
            break;
        }
    }
    if (const auto it = sections.find("wm"); it != sections.end())
        config.density = WmDensity(it->second);
    if (config.density == 0)
        config.density = Number(First(sections, "lcd"));
    for (const char* key : {"locale", "productlocale"}) {
        if (const std::string value = First(sections, key); IsWord(value)) {
            config.language = value.substr(0, value.find_first_of("-_"));
            break;
        }
    }
    return config;
}

}  // namespace tarnel
