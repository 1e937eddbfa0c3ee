#pragma once

#include <string>
#include <vector>

namespace tarnel {

// What tarnelInstall was asked to do on its command line.
struct InstallerOptions {
    enum class Mode { Window, Info, Extract, NoGui, Help, Version, Invalid };
    Mode mode = Mode::Window;
    std::string path;       // the package or APK
    std::string targetDir;  // --extract FILE [DIR]
    bool internal = false;  // --no-gui --internal: let the phone choose, not the SD card
    bool verbose = false;
    std::string serial;  // --serial: the phone to install on among several
    std::string error;   // for Mode::Invalid
};

InstallerOptions ParseInstallerOptions(const std::vector<std::string>& arguments);

// The --help text.
std::string InstallerUsage();

}  // namespace tarnel
