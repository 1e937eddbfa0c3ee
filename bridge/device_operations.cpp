#include <charconv>
#include <string_view>

#include "bridge/adb_output.h"
#include "bridge/device_bridge.h"
#include "platform/command_line.h"

namespace tarnel {
namespace {

// adb's exit status and the package manager's own result line together: a legacy phone's shell
// gives no exit status (adb then says 0), and the text alone can be echoed from a file name.
bool Installed(const RunResult& run) {
    return run.outcome == RunResult::Outcome::Finished && run.exitStatus == 0 &&
           ReportsInstallSuccess(run.output);
}

DeviceBridge::PhoneTrouble TroubleOf(const RunResult& run) {
    if (run.outcome == RunResult::Outcome::TimedOut)
        return DeviceBridge::PhoneTrouble::NoAnswer;
    if (ReportsSeveralDevices(run.output))
        return DeviceBridge::PhoneTrouble::SeveralPhones;
    return DeviceBridge::PhoneTrouble::None;
}

// A path as one word of the phone's shell.
std::string ShellWord(std::string_view text) {
    std::string word = "'";
    for (char c : text) {
        if (c == '\'')
            word += "'\\''";
        else
            word += c;
    }
    return word + "'";
}

// The phone's shell takes a command line of a few kilobytes at most on old phones.
constexpr size_t kShellLineLimit = 3000;

}  // namespace

int DeviceBridge::InstallCompanionApk() {
    return Installed(RunKind(ToolCommand::Install)) ? 0 : 1;
}

int DeviceBridge::InstallApk(int toExternal) {
    const RunResult run =
        RunKind(toExternal != 0 ? ToolCommand::InstallExternal : ToolCommand::Install);
    phoneTrouble = TroubleOf(run);
    if (Installed(run))
        return 1;
    installFailure = InstallFailureCode(run.output);
    return 0;
}

int DeviceBridge::PushObbData(const ProgressFn& progress) {
    RunOptions options;
    options.stop = stopToken;
    if (progress) {
        // adb shows its percentages only on a terminal.
        options.pseudoTerminal = true;
        options.onOutput = [&progress, tail = std::string()](std::string_view piece) mutable {
            tail = tail.substr(tail.size() > 16 ? tail.size() - 16 : 0) + std::string(piece);
            if (int percent = LastPercent(tail); percent >= 0)
                progress(percent);
        };
    }
    if (BuildCommand(ToolCommand::PushObbData).empty())
        return 1;
    // adb's exit status judges a push: its text echoes every file name, which may hold any word.
    const RunResult run = RunKind(ToolCommand::PushObbData, options);
    phoneTrouble = TroubleOf(run);
    return run.outcome == RunResult::Outcome::Finished && run.exitStatus == 0 ? 0 : 1;
}

void DeviceBridge::RemoveObbData() {
    Run(ToolCommand::RemoveObbData);
}

DeviceBridge::DeviceListing DeviceBridge::ListDeviceFolder(const std::string& devicePath) {
    DeviceListing listing;
    if (adbPath.empty() || devicePath.empty())
        return listing;
    const std::string adb = QuoteArgumentIfNeeded(adbPath);
    RunOptions options;
    options.timeLimit = quickQueryLimit;
    options.stop = stopToken;
    const RunResult run =
        RunToolResult(adb + " shell ls -a1 " + QuoteArgument(ShellWord(devicePath)), options);
    if (run.outcome != RunResult::Outcome::Finished)
        return listing;
    if (ReportsNoSuchFile(run.output)) {
        listing.state = DeviceListing::State::Missing;
        return listing;
    }
    // One name a line even where the phone's shell runs on a terminal. A legacy shell says 0 for
    // every command; its complaints are what tells a failure.
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
    if (adbPath.empty())
        return;
    const std::string adb = QuoteArgumentIfNeeded(adbPath);
    RunOptions options;
    options.timeLimit = quickQueryLimit;
    options.stop = stopToken;
    std::string words;
    const auto flush = [&] {
        if (!words.empty())
            RunToolResult(adb + " shell rm -rf" + words, options);
        words.clear();
    };
    for (const std::string& path : devicePaths) {
        if (path.empty())
            continue;
        const std::string word = " " + QuoteArgument(ShellWord(path));
        if (words.size() + word.size() > kShellLineLimit)
            flush();
        words += word;
    }
    flush();
}

std::vector<DeviceBridge::DeviceFile> DeviceBridge::ListDeviceFiles(const std::string& devicePath) {
    std::vector<DeviceFile> files;
    if (adbPath.empty() || devicePath.empty())
        return files;
    RunOptions options;
    options.timeLimit = quickQueryLimit;
    options.stop = stopToken;
    const RunResult run =
        RunToolResult(QuoteArgumentIfNeeded(adbPath) + " ls " + QuoteArgument(devicePath), options);
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
    if (adbPath.empty())
        return moves.empty();
    const std::string adb = QuoteArgumentIfNeeded(adbPath);
    RunOptions options;
    options.timeLimit = quickQueryLimit;
    options.stop = stopToken;
    bool moved = true;
    std::string line;
    // mv is silent when it succeeds: a batch has worked when the closing echo is all there is.
    const auto flush = [&] {
        if (line.empty())
            return;
        const RunResult run =
            RunToolResult(adb + " shell " + QuoteArgument(line + "echo moved"), options);
        std::string_view said = run.output;
        while (!said.empty() && (said.back() == '\n' || said.back() == '\r'))
            said.remove_suffix(1);
        moved = moved && run.outcome == RunResult::Outcome::Finished && said == "moved";
        line.clear();
    };
    for (const auto& [from, to] : moves) {
        const std::string command = "mv -f " + ShellWord(from) + " " + ShellWord(to) + "; ";
        if (line.size() + command.size() > kShellLineLimit)
            flush();
        line += command;
    }
    flush();
    return moved;
}

bool DeviceBridge::TakeScreenshot() {
    Run(ToolCommand::Screencap);
    return !ReportsMissingRemoteFile(Run(ToolCommand::PullScreencap));
}

}  // namespace tarnel
