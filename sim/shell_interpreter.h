#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "sim/command_io.h"
#include "sim/phone.h"

namespace tarnel::sim {

inline constexpr std::string_view kShellPath = "/system/bin/sh";

struct CommandContext {
    Phone& phone;
    CommandInput& in;
    CommandOutput& out;
    bool asRoot = false;
};

// A phone command: argv[0] is its name; returns the exit status.
using CommandFunction = std::function<int(CommandContext&, const std::vector<std::string>&)>;
using CommandTable = std::map<std::string, CommandFunction, std::less<>>;

// Runs a command line the way the phone's shell would and returns the status of the last command
// that ran. Unknown commands get the shell's "not found" and status 127.
int RunCommandLine(std::string_view line, CommandContext& context);

// Runs one command from ready-made arguments, without the shell's parsing (abb_exec, su).
int RunArguments(const std::vector<std::string>& argv, CommandContext& context);

// Whether the phone has a command of that name.
bool HasCommand(std::string_view name);

}  // namespace tarnel::sim
