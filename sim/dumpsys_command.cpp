#include <cstdio>

#include "sim/shell_commands.h"

namespace tarnel::sim {

namespace {

using Arguments = std::vector<std::string>;

std::string PackageSection(const InstalledPackage& package) {
    char hash[16];
    std::snprintf(hash, sizeof hash, "%07zx", std::hash<std::string>{}(package.name) & 0xfffffff);
    return "Packages:\n  Package [" + package.name + "] (" + hash + "):\n    userId=10101\n" +
           "    pkg=Package{" + hash + " " + package.name + "}\n    codePath=" + package.codePath +
           "\n    resourcePath=" + package.codePath +
           "\n    versionCode=" + std::to_string(package.versionCode) +
           " minSdk=19 targetSdk=28\n    versionName=" + package.versionName +
           "\n    flags=[ HAS_CODE ALLOW_CLEAR_USER_DATA ]\n";
}

int DumpPackage(CommandContext& context, const Arguments& argv) {
    std::string text = "Activity Resolver Table:\n  Non-Data Actions:\n\n";
    if (argv.size() > 2) {
        if (const auto package = context.phone.Packages().Find(argv[2])) {
            text += PackageSection(*package);
        }
    }
    context.out.Out(text + "\nDexopt state:\n\n");
    return 0;
}

int DumpWindow(CommandContext& context) {
    const Scenario& settings = context.phone.Settings();
    const DisplaySize size = ParseDisplaySize(settings.display).value();
    const std::string dimensions = std::to_string(size.width) + "x" + std::to_string(size.height);
    context.out.Out(
        "WINDOW MANAGER DISPLAY CONTENTS (dumpsys window displays)\n"
        "  Display: mDisplayId=0\n    init=" +
        dimensions + " 440dpi cur=" + dimensions + " app=" + dimensions +
        " rng=" + std::to_string(size.width) + "x" + std::to_string(size.width) + "-" +
        std::to_string(size.height) + "x" + std::to_string(size.height) +
        "\n    mUnrestricted=[0,0][" + std::to_string(size.width) + "," +
        std::to_string(size.height) +
        "]\n\nWINDOW MANAGER WINDOWS (dumpsys window windows)\n"
        "  mCurrentFocus=Window{5d4c3b2 u0 com.android.launcher3/.Launcher}\n"
        "  mFocusedApp=AppWindowToken{4c3b2a1 token=Token{3b2a190 ActivityRecord{2a19087 u0 "
        "com.android.launcher3/.Launcher t1}}}\n");
    return 0;
}

int Dumpsys(CommandContext& context, const Arguments& argv) {
    const std::string service = argv.size() > 1 ? argv[1] : "";
    if (service == "package") {
        return DumpPackage(context, argv);
    }
    if (service == "window") {
        return DumpWindow(context);
    }
    context.out.Err("Can't find service: " + service + "\n");
    return 0;
}

}  // namespace

void AddDumpsysCommand(CommandTable& table) {
    table["dumpsys"] = Dumpsys;
}

}  // namespace tarnel::sim
