#include "bridge/adb_output.h"

#include "bridge/phone_state.h"

#include <algorithm>
#include <charconv>
#include <vector>

namespace tarnel {
namespace {

bool IsCodeChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

std::string_view Trim(std::string_view text) {
    const char* blanks = " \t\r\n";
    size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        size_t end = text.find('\n');
        lines.push_back(text.substr(0, end));
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

// The numeric parts of a version; false when a part does not start with a digit.
bool VersionParts(std::string_view version, std::vector<long>& parts) {
    version = Trim(version);
    if (version.empty())
        return false;
    while (true) {
        size_t dot = version.find('.');
        std::string_view part = version.substr(0, dot);
        long number = 0;
        auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), number);
        if (error != std::errc() || end == part.data())
            return false;
        parts.push_back(number);
        // A suffix such as "-beta" ends the numeric part of the version.
        if (end != part.data() + part.size() || dot == std::string_view::npos)
            return true;
        version.remove_prefix(dot + 1);
    }
}

}  // namespace

bool ListsReadyDevice(std::string_view output) {
    return !ReadyPhones(ParseDeviceList(output)).empty();
}

bool ListsPackage(std::string_view list, std::string_view name) {
    static constexpr std::string_view kPrefix = "package:";
    for (std::string_view line : Lines(list)) {
        line = Trim(line);
        if (line.starts_with(kPrefix) && line.substr(kPrefix.size()) == name)
            return true;
    }
    return false;
}

std::string DumpedVersionName(std::string_view dump) {
    static constexpr std::string_view kMarker = "versionName=";
    size_t at = dump.find(kMarker);
    if (at == std::string_view::npos)
        return {};
    std::string_view rest = dump.substr(at + kMarker.size());
    return std::string(Trim(rest.substr(0, rest.find('\n'))));
}

bool IsVersionAtLeast(std::string_view version, std::string_view minimum) {
    std::vector<long> have, need;
    if (!VersionParts(version, have))
        return false;
    if (!VersionParts(minimum, need))
        return true;
    const size_t length = std::max(have.size(), need.size());
    have.resize(length, 0);
    need.resize(length, 0);
    return have >= need;
}

bool ReportsInstallSuccess(std::string_view output) {
    for (std::string_view line : Lines(output)) {
        if (Trim(line) == "Success")
            return true;
    }
    return false;
}

namespace {

// The result part of an install text's failure line, from "Failure" on; empty when none.
std::string_view FailureLine(std::string_view output) {
    static constexpr std::string_view kAdbPrefix = "adb: failed to install ";
    static constexpr std::string_view kAfterPath = ": Failure";
    for (std::string_view line : Lines(output)) {
        line = Trim(line);
        if (line.starts_with("Failure"))
            return line;
        // The path comes first and may hold anything; the phone's words come last.
        if (line.starts_with(kAdbPrefix)) {
            const size_t at = line.rfind(kAfterPath);
            if (at != std::string_view::npos)
                return line.substr(at + 2);
        }
    }
    return {};
}

}  // namespace

bool ReportsUnknownSdCardOption(std::string_view output) {
    for (std::string_view line : Lines(output)) {
        line = Trim(line);
        if (line == "java.lang.IllegalArgumentException: Unknown option -s" ||
            line == "Error: Unknown option: -s") {
            return true;
        }
    }
    return false;
}

bool ReportsSeveralDevices(std::string_view output) {
    for (std::string_view line : Lines(output)) {
        line = Trim(line);
        // "adb: error: failed to get feature set: more than one device/emulator" and the like.
        if ((line.starts_with("error: ") || line.starts_with("adb: error: ")) &&
            line.ends_with(": more than one device/emulator")) {
            return true;
        }
    }
    return false;
}

bool ReportsNoSuchFile(std::string_view output) {
    for (std::string_view line : Lines(output)) {
        line = Trim(line);
        if (line.starts_with("ls: ") && line.ends_with("No such file or directory"))
            return true;
    }
    return false;
}

std::string InstallFailureCode(std::string_view output) {
    static constexpr std::string_view kMarker = "Failure";
    const std::string_view line = FailureLine(output);
    if (line.empty())
        return "NONE";
    std::string_view rest = line.substr(kMarker.size());
    size_t open = rest.find('[');
    if (open != std::string_view::npos)
        rest.remove_prefix(open + 1);
    size_t length = 0;
    while (length < rest.size() && IsCodeChar(rest[length]))
        ++length;
    if (length > 0)
        return std::string(rest.substr(0, length));
    // No code where one belongs: keep what the phone said, as far as the closing bracket.
    return std::string(Trim(rest.substr(0, rest.find(']'))));
}

bool ReportsMissingRemoteFile(std::string_view output) {
    return output.find("does not exist") != std::string_view::npos ||
           output.find("failed to stat remote object") != std::string_view::npos;
}

int LastPercent(std::string_view output) {
    // adb's line is "[ 42%] /sdcard/.../file: 73%": the bracket holds the whole push, the end
    // only the file on its way; a file name can hold any figure.
    for (size_t at = output.rfind("%]"); at != std::string_view::npos && at > 0;
         at = output.rfind("%]", at - 1)) {
        size_t start = at;
        while (start > 0 && output[start - 1] >= '0' && output[start - 1] <= '9')
            --start;
        size_t open = start;
        while (open > 0 && output[open - 1] == ' ')
            --open;
        // The bracket opens adb's line.
        const bool lineStart =
            open == 1 || (open > 1 && (output[open - 2] == '\r' || output[open - 2] == '\n'));
        if (open == 0 || output[open - 1] != '[' || at - open > 4 || !lineStart)
            continue;
        int percent = -1;
        auto [end, error] = std::from_chars(output.data() + start, output.data() + at, percent);
        if (error == std::errc() && end == output.data() + at && percent <= 100)
            return percent;
    }
    return -1;
}

}  // namespace tarnel
