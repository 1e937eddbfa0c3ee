// The commands a desktop asks when the companion app is not there: wm size, df and command -v,
// answered from the scenario in the forms the phone's Android version prints.

#include <sys/stat.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "sim/shell_commands.h"

namespace tarnel::sim {

namespace {

using Arguments = std::vector<std::string>;

int MajorRelease(const Scenario& settings) {
    return std::atoi(settings.release.c_str());
}

// Android 6 and older have toolbox's df; Android 4.2 and older print whole units.
enum class DfForm { Toybox, Toolbox, OldToolbox };

DfForm FormOf(const Scenario& settings) {
    const std::string& release = settings.release;
    const int major = MajorRelease(settings);
    if (major >= 7 || major == 0) {
        return DfForm::Toybox;
    }
    const bool old =
        major < 4 || (major == 4 && (release.starts_with("4.0") || release.starts_with("4.1") ||
                                     release.starts_with("4.2")));
    return old ? DfForm::OldToolbox : DfForm::Toolbox;
}

std::string CardMountPoint(const Scenario& settings) {
    return MajorRelease(settings) >= 6 ? "/storage/1A2B-3C4D" : "/storage/sdcard1";
}

struct Mount {
    std::string device;
    std::string point;
    uint64_t total = 0;
    uint64_t free = 0;
};

std::vector<Mount> Mounts(const Scenario& settings) {
    std::vector<Mount> mounts = {
        {"/dev/root", "/", 3221225472, 104857600},
        {"tmpfs", "/dev", settings.ramTotal / 2, settings.ramTotal / 2},
        {"/dev/block/dm-0", "/data", settings.dataTotal, settings.dataFree},
        {"/data/media", "/storage/emulated", settings.dataTotal, settings.dataFree},
    };
    if (settings.sdcard) {
        mounts.push_back({"/dev/block/vold/public:179,65", CardMountPoint(settings),
                          settings.sdTotal, settings.sdFree});
    }
    return mounts;
}

// toolbox's printsize of Android 4.3 to 6: one decimal, K, M or G.
std::string ToolboxSize(uint64_t bytes) {
    char unit = 'K';
    uint64_t n = bytes * 10;
    if (n > 1024ull * 1024 * 10) {
        n /= 1024;
        unit = 'M';
    }
    if (n > 1024ull * 1024 * 10) {
        n /= 1024;
        unit = 'G';
    }
    const uint64_t t = (n + 512) / 1024;
    char text[40];
    std::snprintf(text, sizeof text, "%4llu.%1llu%c", static_cast<unsigned long long>(t / 10),
                  static_cast<unsigned long long>(t % 10), unit);
    return text;
}

std::string OldToolboxSize(uint64_t bytes) {
    char unit = 'K';
    uint64_t n = bytes / 1024;
    if (n > 1024) {
        n /= 1024;
        unit = 'M';
    }
    if (n > 1024) {
        n /= 1024;
        unit = 'G';
    }
    char text[40];
    std::snprintf(text, sizeof text, "%4llu%c", static_cast<unsigned long long>(n), unit);
    return text;
}

std::string Row(DfForm form, const std::string& path, const Mount& mount) {
    char line[300];
    const uint64_t used = mount.total - std::min(mount.free, mount.total);
    if (form == DfForm::Toybox) {
        const uint64_t total = mount.total / 1024;
        const uint64_t available = mount.free / 1024;
        const uint64_t usedBlocks = used / 1024;
        const uint64_t percent =
            usedBlocks + available == 0
                ? 0
                : (usedBlocks * 100 + usedBlocks + available - 1) / (usedBlocks + available);
        std::snprintf(line, sizeof line, "%-16s %10llu %9llu %9llu %3llu%% %s\n",
                      mount.device.c_str(), static_cast<unsigned long long>(total),
                      static_cast<unsigned long long>(usedBlocks),
                      static_cast<unsigned long long>(available),
                      static_cast<unsigned long long>(percent), mount.point.c_str());
        return line;
    }
    const auto size = form == DfForm::Toolbox ? ToolboxSize : OldToolboxSize;
    std::snprintf(line, sizeof line, "%-20s  %s  %s  %s   %d\n", path.c_str(),
                  size(mount.total).c_str(), size(used).c_str(), size(mount.free).c_str(), 4096);
    return line;
}

std::string Header(DfForm form) {
    switch (form) {
        case DfForm::Toybox:
            return "Filesystem        1K-blocks      Used Available Use% Mounted on\n";
        case DfForm::Toolbox:
            return "Filesystem               Size     Used     Free   Blksize\n";
        case DfForm::OldToolbox:
            break;
    }
    return "Filesystem             Size   Used   Free   Blksize\n";
}

// The mount a path lives on: the longest mount point that is a prefix of it.
const Mount* MountOf(const std::vector<Mount>& mounts, std::string path) {
    if (path.starts_with("/sdcard") || path.starts_with("/mnt/sdcard")) {
        path = "/storage/emulated";
    }
    const Mount* best = nullptr;
    for (const Mount& mount : mounts) {
        const bool inside =
            path == mount.point || mount.point == "/" || path.starts_with(mount.point + "/");
        if (inside && (best == nullptr || mount.point.size() > best->point.size())) {
            best = &mount;
        }
    }
    return best;
}

int Df(CommandContext& context, const Arguments& argv) {
    const Scenario& settings = context.phone.Settings();
    const DfForm form = FormOf(settings);
    const std::vector<Mount> mounts = Mounts(settings);
    const SplitArguments arguments = SplitFlags(argv);
    std::string text;
    int status = 0;
    if (arguments.operands.empty()) {
        for (const Mount& mount : mounts) {
            text += Row(form, mount.point, mount);
        }
    }
    for (const std::string& path : arguments.operands) {
        // Paths under a mount of their own are taken as they come; others must exist.
        const Mount* mount = MountOf(mounts, path);
        const HostLocation location =
            context.phone.Files().Locate(path, Access::Lookup, context.asRoot);
        struct stat info;
        const bool exists = location.error == 0 && stat(location.host.c_str(), &info) == 0;
        if (mount == nullptr || (mount->point == "/" && path != "/" && !exists)) {
            context.out.Err(form == DfForm::Toybox
                                ? "df: '" + path + "': No such file or directory\n"
                                : path + ": No such file or directory\n");
            status = 1;
            continue;
        }
        text += Row(form, path, *mount);
    }
    if (!text.empty() || form != DfForm::Toybox) {
        context.out.Out(Header(form) + text);
    }
    return status;
}

int Wm(CommandContext& context, const Arguments& argv) {
    const Scenario& settings = context.phone.Settings();
    if (FormOf(settings) == DfForm::OldToolbox) {
        context.out.Err(std::string(kShellPath) + ": wm: not found\n");
        return 127;
    }
    if (argv.size() == 2 && argv[1] == "density" && settings.density != 0) {
        context.out.Out("Physical density: " + std::to_string(settings.density) + "\n");
        return 0;
    }
    if (argv.size() != 2 || argv[1] != "size") {
        context.out.Err("usage: wm [size|density] ...\n");
        return 1;
    }
    const std::string& physical =
        settings.physicalDisplay.empty() ? settings.display : settings.physicalDisplay;
    std::string text = "Physical size: " + physical + "\n";
    if (physical != settings.display) {
        text += "Override size: " + settings.display + "\n";
    }
    context.out.Out(text);
    return 0;
}

// The shell's "command -v NAME": the path of a command the phone has.
int Command(CommandContext& context, const Arguments& argv) {
    if (argv.size() != 3 || argv[1] != "-v") {
        context.out.Err(std::string(kShellPath) + ": command: only -v NAME is available\n");
        return 1;
    }
    const std::string& name = argv[2];
    if (name == "su") {
        if (!context.phone.Settings().root) {
            return 1;
        }
        context.out.Out("/system/xbin/su\n");
        return 0;
    }
    if (!HasCommand(name)) {
        return 1;
    }
    context.out.Out("/system/bin/" + name + "\n");
    return 0;
}

}  // namespace

void AddDeviceFactCommands(CommandTable& table) {
    table["command"] = Command;
    table["df"] = Df;
    table["wm"] = Wm;
}

}  // namespace tarnel::sim
