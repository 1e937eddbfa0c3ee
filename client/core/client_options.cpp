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
    bool help = false;
    bool version = false;
    Mode work = Mode::Window;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--info" || argument == "--screenshot") {
            if (work != Mode::Window)
                return Invalid("--info and --screenshot are given once, and not together");
            work = argument == "--info" ? Mode::Info : Mode::Screenshot;
            if (work == Mode::Screenshot) {
                if (i + 1 == arguments.size() || arguments[i + 1].empty())
                    return Invalid("--screenshot needs the PNG file to write");
                options.screenshotFile = arguments[++i];
            }
        } else if (argument == "--serial") {
            if (i + 1 == arguments.size() || arguments[i + 1].empty())
                return Invalid("--serial needs the phone's serial (see adb devices)");
            options.serial = arguments[++i];
        } else if (argument == "--verbose") {
            options.verbose = true;
        } else if (argument == "--help" || argument == "-h") {
            help = true;
        } else if (argument == "--version") {
            version = true;
        } else if (!argument.empty() && argument[0] == '-') {
            return Invalid("unknown option " + argument);
        } else {
            return Invalid("tarnel takes no file or other argument: " + argument);
        }
    }
    if (!options.serial.empty() && work == Mode::Window && !help && !version)
        return Invalid("--serial goes with --info or --screenshot");
    options.mode = help ? Mode::Help : version ? Mode::Version : work;
    return options;
}

std::string ClientUsage() {
    return "Usage: tarnel [--verbose] [--serial SERIAL] [--info | --screenshot FILE.png]\n"
           "\n"
           "Shows the attached Android phone: model, system, root state, CPU, memory, storage\n"
           "and a live screenshot. Packages are installed with tarnelInstall.\n"
           "\n"
           "  --info       prepare the attached phone and print its facts as one JSON object\n"
           "  --screenshot FILE.png\n"
           "               save a fresh screenshot of the attached phone\n"
           "  --serial     the phone to use when several are attached (as in adb devices;\n"
           "               ANDROID_SERIAL is read when it is not given)\n"
           "  --verbose    show every tool command and its output on standard error\n"
           "\n"
           "--info and --screenshot exit with 3 when no phone is ready, and with 2 when\n"
           "several are and none was chosen.\n"
           "\n"
           "  --help       show this text\n"
           "  --version    show the version\n";
}

}  // namespace tarnel
