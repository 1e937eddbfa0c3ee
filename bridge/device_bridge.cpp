#include "bridge/device_bridge.h"

#include <filesystem>
#include <thread>

#include "platform/command_line.h"
#include "platform/log.h"
#include "platform/text_codec.h"
#include "platform/tool_locator.h"

namespace tarnel {
namespace {

bool IsLongRunning(ToolCommand kind) {
    return kind == ToolCommand::Install || kind == ToolCommand::InstallExternal ||
           kind == ToolCommand::PushObbData;
}

// "adb devices" once, not waited for, so that adb's server is up before the first question.
void StartAdbServer(const std::string& adb) {
    std::thread([adb] {
        RunProcess({adb, "devices"}, {.timeLimit = std::chrono::seconds(30)});
    }).detach();
}

}  // namespace

DeviceBridge::DeviceBridge(BridgeVariant variant) : variant_(variant) {
    BuildPermissionTable(PermissionTable);
}

void DeviceBridge::DiscoverTools() {
    adbPath = FindTool("adb", "TARNEL_ADB");
    if (!adbPath.empty())
        StartAdbServer(adbPath);
    aaptPath = FindTool("aapt", "TARNEL_AAPT");
}

std::string DeviceBridge::RunTool(std::string commandLine, const RunOptions& options) const {
    return RunToolResult(std::move(commandLine), options).output;
}

RunResult DeviceBridge::RunToolResult(std::string commandLine, const RunOptions& options) const {
    if (commandLine.empty())
        return {};
    if (Verbose())
        LogLine("run: " + commandLine);
    RunResult result = RunProcess(SplitCommandLine(commandLine), options);
    if (result.outcome == RunResult::Outcome::CouldNotStart) {
        LogLine("could not start: " + commandLine);
        return result;
    }
    if (result.outcome == RunResult::Outcome::TimedOut)
        LogLine("time limit reached, stopped");
    if (Verbose())
        LogLine("output: " + result.output + "\nexit status: " + std::to_string(result.exitStatus));
    // Stray zero bytes would end the text for every later search; they carry nothing.
    if (result.output.find('\0') != std::string::npos)
        std::erase(result.output, '\0');
    result.output = Utf8ToAnsi(result.output.data(), static_cast<int>(result.output.size()));
    return result;
}

RunOptions DeviceBridge::UploadOptions(const std::vector<std::string>& files) const {
    RunOptions options;
    options.idleLimit = noProgressLimit;
    for (const std::string& file : files) {
        std::error_code error;
        const std::uintmax_t size = std::filesystem::file_size(file, error);
        options.idleLimitUntilRead += error ? 0 : size;
    }
    options.stop = stopToken;
    return options;
}

RunResult DeviceBridge::RunKind(ToolCommand kind, const RunOptions& options) const {
    RunOptions chosen = options;
    if (kind == ToolCommand::Install || kind == ToolCommand::InstallExternal)
        chosen.idleLimitUntilRead = UploadOptions({apkPath}).idleLimitUntilRead;
    if (IsLongRunning(kind))
        chosen.idleLimit = noProgressLimit;
    else
        chosen.timeLimit = quickQueryLimit;
    if (!chosen.stop.stop_possible())
        chosen.stop = stopToken;
    return RunToolResult(BuildCommand(kind), chosen);
}

std::string DeviceBridge::Run(ToolCommand kind, const RunOptions& options) const {
    return RunKind(kind, options).output;
}

}  // namespace tarnel
