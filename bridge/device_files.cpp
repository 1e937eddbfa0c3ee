#include <charconv>
#include <optional>
#include <string_view>

#include "bridge/adb_output.h"
#include "bridge/device_bridge.h"
#include "platform/command_line.h"

namespace tarnel {
namespace {

// The phone's shell takes a command line of a few kilobytes at most on old phones.
constexpr size_t kShellLineLimit = 3000;

// A path as one word of the phone's shell.
std::string ShellWord(std::string_view text) {
    std::string word = "'";
    for (char c : text) {
        if (c == '\'')
            word += "'\\''";
        else
            word += c;
    }
    return QuoteArgument(word + "'");
}

RunResult RunShell(const DeviceBridge& bridge, const std::string& line) {
    RunOptions options;
    options.timeLimit = bridge.quickQueryLimit;
    options.stop = bridge.stopToken;
    return bridge.RunToolResult(bridge.AdbHead() + " shell " + line, options);
}

// Runs the commands joined by joiner into as few shell lines as the limit allows; gives whether
// every line finished with status 0 and said nothing.
bool RunInLines(const DeviceBridge& bridge, const std::vector<std::string>& commands,
                std::string_view joiner) {
    bool quiet = true;
    std::string line;
    const auto flush = [&] {
        if (line.empty())
            return;
        const RunResult run = RunShell(bridge, line);
        quiet = quiet && run.outcome == RunResult::Outcome::Finished && run.exitStatus == 0 &&
                run.output.empty();
        line.clear();
    };
    for (const std::string& command : commands) {
        if (!line.empty() && line.size() + command.size() > kShellLineLimit)
            flush();
        line += (line.empty() ? "" : std::string(joiner)) + command;
    }
    flush();
    return quiet;
}

// A line of `adb ls`: mode, size and time in hex, a space after each, then the name. The size
// has more than eight digits where the phone lists with ls_v2 and adb shows it whole.
std::optional<DeviceBridge::DeviceFile> ListedFile(std::string_view line) {
    std::uint64_t fields[3] = {};
    const char* next = line.data();
    const char* const end = line.data() + line.size();
    for (std::uint64_t& field : fields) {
        const auto [ptr, error] = std::from_chars(next, end, field, 16);
        if (error != std::errc() || ptr - next < 8 || ptr == end || *ptr != ' ')
            return std::nullopt;
        next = ptr + 1;
    }
    DeviceBridge::DeviceFile file;
    file.name = std::string(next, end);
    if (file.name.empty() || file.name == "." || file.name == ".." || fields[0] > 0xFFFFFFFFu)
        return std::nullopt;
    file.mode = static_cast<std::uint32_t>(fields[0]);
    file.size = fields[1];
    file.modified = static_cast<std::int64_t>(fields[2]);
    return file;
}

}  // namespace

DeviceBridge::DeviceListing DeviceBridge::ListDeviceFolder(const std::string& devicePath) {
    DeviceListing listing;
    if (adbPath.empty() || devicePath.empty())
        return listing;
    // One name a line even where the phone's shell runs on a terminal.
    const RunResult run = RunShell(*this, "ls -a1 " + ShellWord(devicePath));
    if (run.outcome != RunResult::Outcome::Finished)
        return listing;
    if (ReportsNoSuchFile(run.output)) {
        listing.state = DeviceListing::State::Missing;
        return listing;
    }
    // A legacy shell says 0 for every command; its complaints are what tells a failure.
    if (run.exitStatus != 0 || run.output.find(": ") != std::string::npos)
        return listing;
    listing.state = DeviceListing::State::Listed;
    size_t start = 0;
    while (start < run.output.size()) {
        size_t end = run.output.find('\n', start);
        if (end == std::string::npos)
            end = run.output.size();
        std::string name = run.output.substr(start, end - start);
        if (!name.empty() && name.back() == '\r')
            name.pop_back();
        if (!name.empty() && name != "." && name != "..")
            listing.names.push_back(std::move(name));
        start = end + 1;
    }
    return listing;
}

void DeviceBridge::RemoveDevicePaths(const std::vector<std::string>& devicePaths) {
    std::vector<std::string> commands;
    for (const std::string& path : devicePaths) {
        if (!path.empty())
            commands.push_back("rm -rf " + ShellWord(path));
    }
    if (!adbPath.empty())
        RunInLines(*this, commands, "; ");
}

std::vector<DeviceBridge::DeviceFile> DeviceBridge::ListDeviceFiles(const std::string& devicePath) {
    std::vector<DeviceFile> files;
    if (adbPath.empty() || devicePath.empty())
        return files;
    RunOptions options;
    options.timeLimit = quickQueryLimit;
    options.stop = stopToken;
    const RunResult run = RunToolResult(AdbHead() + " ls " + QuoteArgument(devicePath), options);
    if (run.outcome != RunResult::Outcome::Finished || run.exitStatus != 0)
        return files;
    size_t start = 0;
    while (start < run.output.size()) {
        size_t end = run.output.find('\n', start);
        if (end == std::string::npos)
            end = run.output.size();
        std::string_view line(run.output.data() + start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (std::optional<DeviceFile> file = ListedFile(line))
            files.push_back(std::move(*file));
    }
    return files;
}

bool DeviceBridge::MoveDevicePaths(const std::vector<std::pair<std::string, std::string>>& moves) {
    std::vector<std::string> commands;
    for (const auto& [from, to] : moves)
        commands.push_back("mv " + ShellWord(from) + " " + ShellWord(to));
    // mv says nothing when it succeeds; a legacy shell's exit status is always 0.
    return adbPath.empty() ? moves.empty() : RunInLines(*this, commands, " && ");
}

}  // namespace tarnel
