#pragma once

#include <string_view>

namespace tarnel {

// Logging is off unless a program is started with --verbose; then every tool command and its
// output go to standard error.
void SetVerbose(bool on);
bool Verbose();
void LogLine(std::string_view line);

}  // namespace tarnel
