#include <string_view>

#include "bridge/adb_output.h"
#include "bridge/device_bridge.h"

namespace tarnel {
namespace {

bool Contains(std::string_view text, std::string_view marker) {
    return text.find(marker) != std::string_view::npos;
}

}  // namespace

int DeviceBridge::InstallCompanionApk() {
    return Contains(Run(ToolCommand::Install), "Success") ? 0 : 1;
}

int DeviceBridge::InstallApk(int toExternal) {
    const std::string output =
        Run(toExternal != 0 ? ToolCommand::InstallExternal : ToolCommand::Install);
    if (Contains(output, "Success"))
        return 1;
    installFailure = InstallFailureCode(output);
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
    const std::string command = BuildCommand(ToolCommand::PushObbData);
    if (command.empty())
        return 1;
    // Besides adb's "failed" lines, "error:" covers a phone that is gone before the push starts.
    const std::string output = RunTool(command, options);
    return Contains(output, "failed") || Contains(output, "error:") ? 1 : 0;
}

void DeviceBridge::RemoveObbData() {
    Run(ToolCommand::RemoveObbData);
}

bool DeviceBridge::TakeScreenshot() {
    Run(ToolCommand::Screencap);
    return !ReportsMissingRemoteFile(Run(ToolCommand::PullScreencap));
}

}  // namespace tarnel
