#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

namespace tarnel {

struct RunOptions {
    // Zero means no limit. On expiry the child's process group is killed and what was read is
    // returned.
    std::chrono::milliseconds timeLimit{0};
    // Zero means no limit. A child that writes nothing and reads and writes no bytes anywhere
    // (its I/O counters stand still) for this long is taken as stuck and ended as on the time
    // limit.
    std::chrono::milliseconds idleLimit{0};
    // For a child that uploads files and then waits for a silent answer (adb install: the phone
    // optimises a big game for minutes without a byte on the cable): the idle limit holds only
    // until the child has read this many bytes, the files' total size, and no longer once the
    // upload is through. Zero: the idle limit holds throughout. The time limit and stop hold
    // either way.
    std::uint64_t idleLimitUntilRead = 0;
    // Give the child a pseudo-terminal for its output, for tools that show progress only on a
    // terminal.
    bool pseudoTerminal = false;
    // Called with each piece of output as it arrives, on the calling thread.
    std::function<void(std::string_view)> onOutput;
    // A stop request kills the child's process group, as the time limit does.
    std::stop_token stop;
    // Standard error kept apart, in RunResult::errors, for tools whose output is parsed whole.
    bool separateErrors = false;
    // "NAME=value" entries on top of this process's environment.
    std::vector<std::string> environment;
};

struct RunResult {
    enum class Outcome { Finished, CouldNotStart, TimedOut, Stopped };
    Outcome outcome = Outcome::CouldNotStart;
    int exitStatus = -1;  // the child's exit code, or 128 + signal
    std::string output;   // standard output and standard error, interleaved as written
    std::string errors;   // standard error, when kept apart
};

// Runs argv[0] (looked up in PATH when it has no slash) with standard input from /dev/null and
// standard output and error on one pipe, in its own process group. Output is read while the child
// runs, so a chatty child never blocks.
RunResult RunProcess(const std::vector<std::string>& argv, const RunOptions& options = {});

}  // namespace tarnel
