#pragma once

#include <string>
#include <vector>

#include "platform/process_runner.h"

namespace tarnel::test {

// The real tarnelInstall with these arguments, as a user runs it: its exit status and output.
inline RunResult RunInstall(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), TARNEL_INSTALL);
    return RunProcess(arguments);
}

}  // namespace tarnel::test
