#pragma once

#include <string>
#include <vector>

namespace tarnel {

// What tarnel was asked to do on its command line.
struct ClientOptions {
    enum class Mode { Window, Help, Version, Info, Screenshot, Invalid };
    Mode mode = Mode::Window;
    bool verbose = false;
    std::string screenshotFile;  // for Mode::Screenshot
    std::string serial;          // --serial: the phone --info and --screenshot work on
    std::string error;           // for Mode::Invalid
};

ClientOptions ParseClientOptions(const std::vector<std::string>& arguments);

// The --help text.
std::string ClientUsage();

}  // namespace tarnel
