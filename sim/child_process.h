#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace tarnel::sim {

struct ChildResult {
    bool started = false;
    bool timedOut = false;
    int exitStatus = -1;  // exit code, or 128 + signal
    std::string standardOutput;
    std::string standardError;
};

// Runs argv (argv[0] looked up in PATH) with standard input from /dev/null, its two output
// streams captured apart, and `extraEnvironment` ("NAME=value") on top of ours. A child still
// running at the deadline is killed. Reading stops when the child has exited, even if a daemon it
// started still holds the pipes.
ChildResult RunChild(const std::vector<std::string>& argv, std::chrono::milliseconds timeLimit,
                     const std::vector<std::string>& extraEnvironment = {});

}  // namespace tarnel::sim
