#include "installer/package/entry_name_policy.h"

namespace tarnel {

namespace {

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

}  // namespace

std::vector<std::string> NameComponents(std::string_view name) {
    std::vector<std::string> components;
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = start;
        while (end < name.size() && !IsSeparator(name[end])) {
            ++end;
        }
        const std::string_view part = name.substr(start, end - start);
        if (!part.empty() && part != ".") {
            components.emplace_back(part);
        }
        start = end + 1;
    }
    return components;
}

NameVerdict JudgeEntryName(std::string_view name) {
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            return NameVerdict::ControlCharacter;
        }
    }
    if (!name.empty() && IsSeparator(name.front())) {
        return NameVerdict::Absolute;
    }
    if (name.size() >= 2 && name[1] == ':') {
        return NameVerdict::DriveLetter;
    }
    const std::vector<std::string> components = NameComponents(name);
    if (name.size() > kMaxNameBytes || components.size() > kMaxNameComponents) {
        return NameVerdict::TooDeep;
    }
    for (const std::string& component : components) {
        if (component == "..") {
            return NameVerdict::ParentReference;
        }
    }
    return components.empty() ? NameVerdict::Empty : NameVerdict::Safe;
}

const char* NameVerdictText(NameVerdict verdict) {
    switch (verdict) {
        case NameVerdict::Safe:
            return "safe";
        case NameVerdict::Empty:
            return "empty name";
        case NameVerdict::Absolute:
            return "absolute path";
        case NameVerdict::DriveLetter:
            return "drive letter";
        case NameVerdict::ParentReference:
            return "parent folder reference";
        case NameVerdict::ControlCharacter:
            return "control character in name";
        case NameVerdict::TooDeep:
            return "too deep";
    }
    return "unknown";
}

}  // namespace tarnel
