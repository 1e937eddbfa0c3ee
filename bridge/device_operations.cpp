#include <charconv>
#include <string_view>

#include "bridge/adb_output.h"
#include "bridge/device_bridge.h"

namespace tarnel {

// adb's exit status and the package manager's own result line together: a legacy phone's shell
// gives no exit status (adb then says 0), and the text alone can be echoed from a file name.
bool DeviceBridge::Installed(const RunResult& run) {
    return run.outcome == RunResult::Outcome::Finished && run.exitStatus == 0 &&
           ReportsInstallSuccess(run.output);
}

DeviceBridge::PhoneTrouble DeviceBridge::TroubleOf(const RunResult& run) {
    if (run.outcome == RunResult::Outcome::TimedOut)
        return PhoneTrouble::NoAnswer;
    if (ReportsSeveralDevices(run.output))
        return PhoneTrouble::SeveralPhones;
    return PhoneTrouble::None;
}

int DeviceBridge::InstallCompanionApk() {
    return Installed(RunKind(ToolCommand::Install)) ? 0 : 1;
}

int DeviceBridge::InstallApk(int toExternal) {
    RunResult run = RunKind(toExternal != 0 ? ToolCommand::InstallExternal : ToolCommand::Install);
    // Phones from Android 10 on know no SD-card option: the app then goes where the phone puts it.
    if (toExternal != 0 && run.outcome == RunResult::Outcome::Finished &&
        ReportsUnknownSdCardOption(run.output)) {
        run = RunKind(ToolCommand::Install);
    }
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

bool DeviceBridge::TakeScreenshot() {
    Run(ToolCommand::Screencap);
    return !ReportsMissingRemoteFile(Run(ToolCommand::PullScreencap));
}

}  // namespace tarnel
