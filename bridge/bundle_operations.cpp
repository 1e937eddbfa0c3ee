#include "bridge/adb_output.h"
#include "bridge/device_bridge.h"
#include "platform/command_line.h"

namespace tarnel {

std::optional<PhoneConfig> DeviceBridge::ReadPhoneConfig() {
    if (adbPath.empty())
        return std::nullopt;
    RunOptions options;
    options.timeLimit = quickQueryLimit;
    options.stop = stopToken;
    const RunResult run = RunToolResult(
        QuoteArgumentIfNeeded(adbPath) + " shell " + QuoteArgument(PhoneConfigQuery()), options);
    phoneTrouble = TroubleOf(run);
    if (run.outcome != RunResult::Outcome::Finished || run.exitStatus != 0 ||
        run.output.find('@') == std::string::npos) {
        return std::nullopt;
    }
    return ParsePhoneConfig(run.output);
}

int DeviceBridge::InstallApks(const std::vector<std::string>& apks, int toExternal) {
    if (adbPath.empty() || apks.empty()) {
        installFailure = "NONE";
        return 0;
    }
    const RunOptions options = UploadOptions(apks);
    const auto install = [&](bool sdCard) {
        std::string line = QuoteArgumentIfNeeded(adbPath) + " install-multiple -r";
        if (sdCard)
            line += " -s";
        for (const std::string& apk : apks)
            line += " " + QuoteArgument(apk);
        return RunToolResult(line, options);
    };
    RunResult run = install(toExternal != 0);
    if (toExternal != 0 && run.outcome == RunResult::Outcome::Finished &&
        ReportsUnknownSdCardOption(run.output)) {
        run = install(false);
    }
    phoneTrouble = TroubleOf(run);
    if (Installed(run))
        return 1;
    installFailure = InstallFailureCode(run.output);
    return 0;
}

}  // namespace tarnel
