#pragma once

#include <string>
#include <vector>

namespace tarnel {

// Starts argv[0] (an absolute path, never looked up in PATH, never through a shell) in a session
// of its own with standard input from /dev/null, and does not wait for it. A small thread reaps
// it when it ends, so it never lingers as a zombie. False when it could not be started.
bool StartDetached(const std::vector<std::string>& argv);

}  // namespace tarnel
