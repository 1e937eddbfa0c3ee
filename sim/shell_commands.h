#pragma once

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "sim/shell_interpreter.h"

namespace tarnel::sim {

void AddFileCommands(CommandTable& table);        // cat, echo, ls, mkdir, mv, rm
void AddPackageCommands(CommandTable& table);     // pm, cmd
void AddSystemCommands(CommandTable& table);      // am, getprop, ps, screencap, su
void AddDumpsysCommand(CommandTable& table);      // dumpsys package, dumpsys window
void AddDeviceFactCommands(CommandTable& table);  // command -v, df, wm

// toybox-style arguments: clusters of one-letter flags ("-rf"), then operands; "--" ends flags.
struct SplitArguments {
    std::set<char> flags;
    std::vector<std::string> operands;
};
SplitArguments SplitFlags(const std::vector<std::string>& argv);

// "tool: path: reason" on standard error, the way toybox complains.
void Complain(CommandContext& context, std::string_view tool, std::string_view path, int error);

}  // namespace tarnel::sim
