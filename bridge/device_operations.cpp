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

bool DeviceBridge::TakeScreenshot() {
    Run(ToolCommand::Screencap);
    return !ReportsMissingRemoteFile(Run(ToolCommand::PullScreencap));
}

}  // namespace tarnel
