#include "client/core/mimeapps_list.h"

#include <sstream>

namespace tarnel {
namespace {

constexpr std::string_view kDefaultsSection = "[Default Applications]";

// Other lines keep their bytes: text is split after each line break, which stays with its line.
std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        const size_t stop = end == std::string_view::npos ? text.size() : end + 1;
        lines.emplace_back(text.substr(start, stop - start));
        start = stop;
    }
    return lines;
}

std::string_view Trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return {};
    const size_t last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

bool IsGroupHeader(std::string_view line) {
    return Trimmed(line).starts_with('[');
}

// The key of a "key=value" line, or empty.
std::string_view KeyOf(std::string_view line) {
    const size_t equals = line.find('=');
    return equals == std::string_view::npos ? std::string_view{} : Trimmed(line.substr(0, equals));
}

std::string_view ValueOf(std::string_view line) {
    return Trimmed(line.substr(line.find('=') + 1));
}

std::vector<std::string> DesktopIds(std::string_view value) {
    std::vector<std::string> ids;
    std::istringstream parts{std::string(value)};
    for (std::string id; std::getline(parts, id, ';');) {
        if (!Trimmed(id).empty())
            ids.emplace_back(Trimmed(id));
    }
    return ids;
}

std::string DefaultLine(const std::string& type, const std::string& desktopId,
                        std::string_view oldValue, std::string_view lineEnd) {
    std::string line = type + "=" + desktopId + ";";
    for (const std::string& id : DesktopIds(oldValue)) {
        if (id != desktopId)
            line += id + ";";
    }
    return line + std::string(lineEnd);
}

}  // namespace

std::string WithDefaultApplication(std::string_view mimeapps, const std::vector<std::string>& types,
                                   const std::string& desktopId) {
    std::vector<std::string> lines = SplitLines(mimeapps);
    std::vector<bool> written(types.size(), false);
    size_t header = lines.size();
    bool inDefaults = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (IsGroupHeader(lines[i])) {
            inDefaults = Trimmed(lines[i]) == kDefaultsSection;
            if (inDefaults && header == lines.size())
                header = i;
            continue;
        }
        if (!inDefaults)
            continue;
        for (size_t t = 0; t < types.size(); ++t) {
            if (KeyOf(lines[i]) == types[t]) {
                const std::string_view lineEnd = lines[i].ends_with("\r\n") ? "\r\n" : "\n";
                lines[i] = DefaultLine(types[t], desktopId, ValueOf(lines[i]), lineEnd);
                written[t] = true;
            }
        }
    }
    std::string missing;
    for (size_t t = 0; t < types.size(); ++t) {
        if (!written[t])
            missing += DefaultLine(types[t], desktopId, {}, "\n");
    }
    if (header == lines.size()) {
        if (!lines.empty() && !lines.back().ends_with('\n'))
            lines.back() += '\n';
        lines.push_back(std::string(kDefaultsSection) + "\n");
        header = lines.size() - 1;
    } else if (!lines[header].ends_with('\n')) {
        lines[header] += '\n';
    }
    lines.insert(lines.begin() + static_cast<long>(header) + 1, missing);
    std::string text;
    for (const std::string& line : lines)
        text += line;
    return text;
}

std::string DefaultApplication(std::string_view mimeapps, std::string_view type) {
    bool inDefaults = false;
    for (const std::string& line : SplitLines(mimeapps)) {
        if (IsGroupHeader(line)) {
            inDefaults = Trimmed(line) == kDefaultsSection;
        } else if (inDefaults && KeyOf(line) == type) {
            const std::vector<std::string> ids = DesktopIds(ValueOf(line));
            return ids.empty() ? std::string() : ids.front();
        }
    }
    return {};
}

}  // namespace tarnel
