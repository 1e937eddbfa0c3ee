#include "bridge/direct_facts.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <vector>

namespace tarnel {
namespace {

constexpr std::string_view kEndSection = "end";

// The questions in order: a marker line, then one command. Errors that only add noise go
// nowhere; a missing answer is an empty section.
constexpr std::pair<std::string_view, std::string_view> kQuestions[] = {
    {"model", "getprop ro.product.model"},
    {"brand", "getprop ro.product.brand"},
    {"release", "getprop ro.build.version.release"},
    {"abi", "getprop ro.product.cpu.abi"},
    {"cpus", "cat /sys/devices/system/cpu/possible 2>/dev/null"},
    // Android 4.2 and older have no wm; their window manager's dump names the size.
    {"wm", "wm size 2>/dev/null || dumpsys window displays 2>/dev/null"},
    {"mem", "cat /proc/meminfo"},
    {"data", "df /data 2>/dev/null"},
    {"mounts", "df 2>/dev/null"},
    {"su", "command -v su 2>/dev/null"},
};

std::string MarkerLine(std::string_view name) {
    return "::" + std::string(name) + "::";
}

// Lines without their CR (a phone of Android 6 or older answers through a terminal).
std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        while (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    size_t at = 0;
    while (true) {
        at = line.find_first_not_of(" \t", at);
        if (at == std::string_view::npos)
            break;
        const size_t end = std::min(line.find_first_of(" \t", at), line.size());
        words.push_back(line.substr(at, end - at));
        at = end;
    }
    return words;
}

std::string_view Trim(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

std::optional<double> WholeNumber(std::string_view text) {
    unsigned long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return static_cast<double>(value);
}

// Toolbox sizes: "21.9G", "512.0K", "27G" (Android 4.2 and older), 1024-based.
std::optional<double> ToolboxSize(std::string_view text) {
    if (text.empty())
        return std::nullopt;
    double unit = 1;
    switch (text.back()) {
        case 'K':
            unit = 1024.0;
            break;
        case 'M':
            unit = 1024.0 * 1024;
            break;
        case 'G':
            unit = 1024.0 * 1024 * 1024;
            break;
        case 'T':
            unit = 1024.0 * 1024 * 1024 * 1024;
            break;
    }
    if (unit != 1)
        text.remove_suffix(1);
    double value = 0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (error != std::errc() || end != text.data() + text.size() || value < 0)
        return std::nullopt;
    return value * unit;
}

struct DfRow {
    std::string_view mountPoint;
    SpaceFacts space;
};

// Rows of either df; lines that are neither header nor row (complaints) are passed over.
std::vector<DfRow> DfRows(std::string_view df) {
    enum class Form { Unknown, Toolbox, Toybox };
    Form form = Form::Unknown;
    std::vector<DfRow> rows;
    for (std::string_view line : Lines(df)) {
        const std::vector<std::string_view> words = Words(line);
        if (!words.empty() && words[0] == "Filesystem") {
            form = line.find("Blksize") != std::string_view::npos      ? Form::Toolbox
                   : line.find("Mounted on") != std::string_view::npos ? Form::Toybox
                                                                       : Form::Unknown;
            continue;
        }
        const size_t count = words.size();
        if (form == Form::Toolbox && count >= 5 && WholeNumber(words[count - 1])) {
            const auto total = ToolboxSize(words[count - 4]);
            const auto free = ToolboxSize(words[count - 2]);
            if (total && free)
                rows.push_back({words[0], {*total, *free}});
        } else if (form == Form::Toybox && count >= 6 && words[count - 2].ends_with('%')) {
            const auto total = WholeNumber(words[count - 5]);
            const auto free = WholeNumber(words[count - 3]);
            if (total && free)
                rows.push_back({words[count - 1], {*total * 1024, *free * 1024}});
        }
    }
    return rows;
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

// A removable card's mount point: one folder under /storage that is not the phone's own shared
// storage, the raw mount of a public volume, or an older phone's card folder.
bool IsCardMountPoint(std::string_view path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string_view::npos || slash + 1 == path.size())
        return false;
    const std::string parent = Lower(path.substr(0, slash));
    const std::string name = Lower(path.substr(slash + 1));
    if (parent == "/storage")
        return name != "emulated" && name != "self" && name != "sdcard0" && name != "sdcard" &&
               name != "enc_emulated";
    if (parent == "/mnt/media_rw")
        return true;
    static constexpr std::string_view kOldNames[] = {"extsdcard", "external_sd", "ext_sd",
                                                     "sdcard1",   "sdcard2",     "microsd"};
    return (parent.starts_with("/mnt") || parent.starts_with("/storage")) &&
           std::find(std::begin(kOldNames), std::end(kOldNames), name) != std::end(kOldNames);
}

std::map<std::string, std::string, std::less<>> Sections(std::string_view output) {
    std::map<std::string, std::string, std::less<>> sections;
    std::string* current = nullptr;
    for (std::string_view line : Lines(output)) {
        if (line.size() > 4 && line.starts_with("::") && line.ends_with("::")) {
            current = &sections[std::string(line.substr(2, line.size() - 4))];
            continue;
        }
        if (current != nullptr)
            current->append(line).push_back('\n');
    }
    return sections;
}

}  // namespace

std::string DirectFactsScript() {
    std::string script;
    for (const auto& [name, command] : kQuestions)
        script += "echo " + MarkerLine(name) + "; " + std::string(command) + "; ";
    return script + "echo " + MarkerLine(kEndSection);
}

std::string GetpropValue(std::string_view text) {
    const std::vector<std::string_view> lines = Lines(text);
    return lines.empty() ? std::string() : std::string(Trim(lines[0]));
}

std::string ScreenSize(std::string_view text) {
    const auto isSize = [](std::string_view size) {
        const size_t x = size.find('x');
        return x != std::string_view::npos && WholeNumber(size.substr(0, x)) &&
               WholeNumber(size.substr(x + 1));
    };
    std::string physical;
    std::string initial;
    for (std::string_view line : Lines(text)) {
        const std::vector<std::string_view> words = Words(line);
        if (words.size() == 3 && words[1] == "size:" && isSize(words[2])) {
            if (words[0] == "Override")
                return std::string(words[2]);
            if (words[0] == "Physical")
                physical = words[2];
        }
        for (std::string_view word : words) {
            if (initial.empty() && word.starts_with("init=") && isSize(word.substr(5)))
                initial = word.substr(5);
        }
    }
    return physical.empty() ? initial : physical;
}

std::optional<SpaceFacts> MemoryFacts(std::string_view meminfo) {
    std::map<std::string_view, double> kib;
    for (std::string_view line : Lines(meminfo)) {
        const size_t colon = line.find(':');
        if (colon == std::string_view::npos)
            continue;
        const std::vector<std::string_view> words = Words(line.substr(colon + 1));
        if (!words.empty())
            if (const auto value = WholeNumber(words[0]))
                kib[line.substr(0, colon)] = *value;
    }
    if (!kib.contains("MemTotal"))
        return std::nullopt;
    const double available = kib.contains("MemAvailable")
                                 ? kib["MemAvailable"]
                                 : kib["MemFree"] + kib["Buffers"] + kib["Cached"];
    return SpaceFacts{kib["MemTotal"] * 1024, available * 1024};
}

std::optional<SpaceFacts> FirstDfRow(std::string_view df) {
    const std::vector<DfRow> rows = DfRows(df);
    if (rows.empty())
        return std::nullopt;
    return rows.front().space;
}

std::optional<SpaceFacts> RemovableCard(std::string_view df) {
    for (const DfRow& row : DfRows(df)) {
        if (row.space.total > 0 && IsCardMountPoint(row.mountPoint))
            return row.space;
    }
    return std::nullopt;
}

int CpuCount(std::string_view possible) {
    const std::string_view list = Trim(possible);
    if (list.empty() || list.find('\n') != std::string_view::npos)
        return 0;
    int count = 0;
    size_t at = 0;
    while (at <= list.size()) {
        const size_t comma = std::min(list.find(',', at), list.size());
        const std::string_view range = list.substr(at, comma - at);
        const size_t dash = range.find('-');
        const auto low = WholeNumber(range.substr(0, dash));
        const auto high =
            dash == std::string_view::npos ? low : WholeNumber(range.substr(dash + 1));
        if (!low || !high || *high < *low || *high > 4095)
            return 0;
        count += static_cast<int>(*high - *low) + 1;
        at = comma + 1;
    }
    return count;
}

bool ShowsSu(std::string_view text) {
    for (std::string_view line : Lines(text)) {
        const std::string_view path = Trim(line);
        if (path.starts_with('/') && (path == "/su" || path.ends_with("/su")))
            return true;
    }
    return false;
}

bool ParseDirectFacts(std::string_view output, DeviceInfo& info) {
    const auto sections = Sections(output);
    if (!sections.contains(kEndSection) || !sections.contains("model"))
        return false;
    const auto section = [&](std::string_view name) -> std::string_view {
        const auto it = sections.find(name);
        return it == sections.end() ? std::string_view() : std::string_view(it->second);
    };
    DeviceInfo facts;
    facts.deviceType = GetpropValue(section("model"));
    facts.model = facts.deviceType;
    facts.deviceName = GetpropValue(section("brand"));
    facts.androidRelease = "android " + GetpropValue(section("release"));
    facts.deviceCPUType = GetpropValue(section("abi"));
    if (const int cores = CpuCount(section("cpus")); cores > 0)
        facts.deviceCPUCount = std::to_string(cores);
    facts.deviceDisplay = ScreenSize(section("wm"));
    facts.deviceRoot = ShowsSu(section("su")) ? 1 : 0;
    if (const auto memory = MemoryFacts(section("mem"))) {
        facts.ramSizeTotal = memory->total;
        facts.ramSizeFree = memory->free;
    }
    if (const auto data = FirstDfRow(section("data"))) {
        facts.dataSizeTotal = data->total;
        facts.dataSizeFree = data->free;
    }
    if (const auto card = RemovableCard(section("mounts"))) {
        facts.sdcardSizeTotal = card->total;
        facts.sdcardSizeFree = card->free;
    }
    info = facts;
    return true;
}

}  // namespace tarnel
