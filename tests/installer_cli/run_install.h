#pragma once

#include <string>
#include <vector>

#include "platform/process_runner.h"

namespace tarnel::test {

// The real tarnelInstall with these arguments, as a user runs it: its exit status and output.
// environment: "NAME=value" entries on top of the test's own.
inline RunResult RunInstall(std::vector<std::string> arguments,
                            std::vector<std::string> environment = {}) {
    arguments.insert(arguments.begin(), TARNEL_INSTALL);
    return RunProcess(arguments, {.environment = std::move(environment)});
}

}  // namespace tarnel::test
