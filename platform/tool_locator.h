#pragma once

#include <string>

namespace tarnel {

// The absolute path of a tool: the environment variable overrideVariable when set, else
// tools/NAME in the program folder, else NAME on PATH. Empty when none is an executable file.
std::string FindTool(const std::string& name, const char* overrideVariable);

}  // namespace tarnel
