#include "client/core/client_options.h"

namespace tarnel {
namespace {

ClientOptions Invalid(std::string error) {
    ClientOptions options;
    options.mode = ClientOptions::Mode::Invalid;
    options.error = std::move(error);
    return options;
}

}  // namespace

ClientOptions ParseClientOptions(const std::vector<std::string>& arguments) {
    using Mode = ClientOptions::Mode;
    ClientOptions options;
    for (const std::string& argument : arguments) {
        if (argument == "--verbose") {
            options.verbose = true;
        } else if (argument == "--help" || argument == "-h") {
            options.mode = Mode::Help;
        } else if (argument == "--version") {
            if (options.mode != Mode::Help)
                options.mode = Mode::Version;
        } else if (!argument.empty() && argument[0] == '-') {
            return Invalid("unknown option " + argument);
        } else {
            return Invalid("tarnel takes no file or other argument: " + argument);
        }
    }
    return options;
}

std::string ClientUsage() {
    return "Usage: tarnel [--verbose]\n"
           "\n"
           "Shows the attached Android phone: model, system, root state, CPU, memory, storage\n"
           "and a live screenshot. Packages are installed with tarnelInstall.\n"
           "\n"
           "  --verbose    show every tool command and its output on standard error\n"
           "  --help       show this text\n"
           "  --version    show the version\n";
}

}  // namespace tarnel
