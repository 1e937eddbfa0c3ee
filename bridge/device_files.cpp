#include <charconv>
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
    // Each line: mode, size and time as eight hex digits, a space between, then the name.
    size_t start = 0;
    while (start < run.output.size()) {
        size_t end = run.output.find('\n', start);
        if (end == std::string::npos)
            end = run.output.size();
        std::string_view line(run.output.data() + start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.size() < 28 || line[8] != ' ' || line[17] != ' ' || line[26] != ' ')
            continue;
        DeviceFile file;
        std::uint32_t fields[3] = {};
        bool read = true;
        for (int field = 0; field < 3; ++field) {
            const char* begin = line.data() + field * 9;
            const auto [ptr, error] = std::from_chars(begin, begin + 8, fields[field], 16);
            read = read && error == std::errc() && ptr == begin + 8;
        }
        file.name = std::string(line.substr(27));
        if (!read || file.name == "." || file.name == "..")
            continue;
        file.mode = fields[0];
        file.size = fields[1];
        file.modified = fields[2];
        files.push_back(std::move(file));
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
