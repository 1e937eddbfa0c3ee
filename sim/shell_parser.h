#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarnel::sim {

struct Redirection {
    enum class Kind { Input, Truncate, Append, ToStandardOutput };
    int fd = 1;
    Kind kind = Kind::Truncate;
    std::string target;  // a path; empty for ToStandardOutput (2>&1)
};

struct SimpleCommand {
    std::vector<std::string> words;
    std::vector<Redirection> redirections;
};

// When a command of a list runs: always (first, or after ";"), after a success ("&&"), after a
// failure ("||").
enum class RunCondition { Always, AfterSuccess, AfterFailure };

struct CommandStep {
    RunCondition condition = RunCondition::Always;
    SimpleCommand command;
};

struct ParsedCommandLine {
    std::vector<CommandStep> steps;
    std::string error;  // the shell's complaint when the line cannot be parsed
};

// The subset of the phone shell's grammar that adb and our programs send: words with single,
// double and backslash quoting, ";", "&&", "||", "<", ">", ">>", "2>", "2>&1" and comments.
// Pipelines and background jobs are refused with a message.
ParsedCommandLine ParseCommandLine(std::string_view line);

}  // namespace tarnel::sim
