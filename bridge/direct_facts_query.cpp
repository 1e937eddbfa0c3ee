#include "bridge/device_bridge.h"
#include "bridge/direct_facts.h"
#include "platform/command_line.h"

namespace tarnel {

int DeviceBridge::ReadDirectFacts() {
    if (adbPath.empty())
        return 0;
    RunOptions options;
    options.timeLimit = quickQueryLimit;
    options.stop = stopToken;
    const std::string output =
        RunTool(AdbHead() + " shell " + QuoteArgument(DirectFactsScript()), options);
    return ParseDirectFacts(output, deviceInfo) ? 1 : 0;
}

}  // namespace tarnel
