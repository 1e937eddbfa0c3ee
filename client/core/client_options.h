#pragma once

#include <string>
#include <vector>

namespace tarnel {

// What tarnel was asked to do on its command line.
struct ClientOptions {
    enum class Mode { Window, Help, Version, Invalid };
    Mode mode = Mode::Window;
    bool verbose = false;
    std::string error;  // for Mode::Invalid
};

ClientOptions ParseClientOptions(const std::vector<std::string>& arguments);

// The --help text.
std::string ClientUsage();

}  // namespace tarnel
