#pragma once

#include <string>

namespace tarnel {

// tarnelInstall with its window: hands the package path (narrow encoding, may be empty) to a
// copy that already runs, or shows the window with it until the user closes it. Gives the exit
// code.
int RunInstallerWindow(const std::string& path);

}  // namespace tarnel
