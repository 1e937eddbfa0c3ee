#include "installer/cli/options.h"

namespace tarnel {
namespace {

InstallerOptions Invalid(std::string error) {
    InstallerOptions options;
    options.mode = InstallerOptions::Mode::Invalid;
    options.error = std::move(error);
    return options;
}

}  // namespace

InstallerOptions ParseInstallerOptions(const std::vector<std::string>& arguments) {
    using Mode = InstallerOptions::Mode;
    InstallerOptions options;
    std::vector<std::string> plain;
    bool onlyPaths = false;
    for (size_t at = 0; at < arguments.size(); ++at) {
        const std::string& argument = arguments[at];
        if (onlyPaths || argument.empty() || argument[0] != '-' || argument == "-") {
            plain.push_back(argument);
        } else if (argument == "--") {
            onlyPaths = true;
        } else if (argument == "--verbose") {
            options.verbose = true;
        } else if (argument == "--serial" || argument.starts_with("--serial=")) {
            if (argument == "--serial" && at + 1 == arguments.size())
                return Invalid("--serial needs the phone's serial (see adb devices)");
            options.serial = argument == "--serial" ? arguments[++at] : argument.substr(9);
            if (options.serial.empty())
                return Invalid("--serial needs the phone's serial (see adb devices)");
        } else if (argument == "--internal") {
            options.internal = true;
        } else if (argument == "--help" || argument == "-h") {
            options.mode = Mode::Help;
        } else if (argument == "--version") {
            options.mode = Mode::Version;
        } else if (argument == "--info" || argument == "--extract" || argument == "--no-gui") {
            if (options.mode != Mode::Window)
                return Invalid("choose one of --info, --extract and --no-gui");
            options.mode = argument == "--info"      ? Mode::Info
                           : argument == "--extract" ? Mode::Extract
                                                     : Mode::NoGui;
        } else {
            return Invalid("unknown option " + argument);
        }
    }
    if (options.mode == Mode::Help || options.mode == Mode::Version)
        return options;
    const size_t allowed = options.mode == Mode::Extract ? 2 : 1;
    if (plain.size() > allowed)
        return Invalid("too many arguments");
    if (options.mode != Mode::Window && plain.empty())
        return Invalid("a package path is needed");
    if (options.internal && options.mode != Mode::NoGui)
        return Invalid("--internal goes with --no-gui");
    if (!options.serial.empty() && options.mode != Mode::NoGui && options.mode != Mode::Info)
        return Invalid("--serial goes with --no-gui or --info");
    if (!plain.empty())
        options.path = plain[0];
    if (plain.size() > 1)
        options.targetDir = plain[1];
    return options;
}

std::string InstallerUsage() {
    return "Usage: tarnelInstall [PACKAGE]\n"
           "       tarnelInstall --info PACKAGE\n"
           "       tarnelInstall --extract PACKAGE.tpk|.xapk|.apks|.apkm [DIR]\n"
           "       tarnelInstall --no-gui [--internal] [--serial SERIAL] PACKAGE\n"
           "\n"
           "Installs an Android app (.apk), a game package (.tpk) or a split-APK bundle\n"
           "(.xapk, .apks, .apkm, with its OBB files) on the attached phone.\n"
           "\n"
           "  --info       print the package's facts as one JSON object (for a bundle, also its\n"
           "               splits and those the attached phone would get)\n"
           "  --extract    unpack a game package or bundle and check it\n"
           "  --no-gui     install without a window (to the SD card unless --internal)\n"
           "  --internal   let the phone choose where the app goes\n"
           "  --serial     the phone to install on when several are attached (as in adb devices;\n"
           "               ANDROID_SERIAL is read when it is not given)\n"
           "  --verbose    show every tool command and its output on standard error\n"
           "  --help       show this text\n"
           "  --version    show the version\n";
}

}  // namespace tarnel
