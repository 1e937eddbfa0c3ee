#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "sim/shell_commands.h"

namespace tarnel::sim {

namespace {

using Arguments = std::vector<std::string>;

int Getprop(CommandContext& context, const Arguments& argv) {
    const auto properties = context.phone.Properties();
    if (argv.size() < 2) {
        std::string text;
        for (const auto& [name, value] : properties) {
            text += "[" + name + "]: [" + value + "]\n";
        }
        context.out.Out(text);
        return 0;
    }
    const auto it = properties.find(argv[1]);
    const std::string fallback = argv.size() > 2 ? argv[2] : "";
    context.out.Out((it == properties.end() ? fallback : it->second) + "\n");
    return 0;
}

int Am(CommandContext& context, const Arguments& argv) {
    if (argv.size() < 2 || argv[1] != "start") {
        context.out.Err("usage: am start [-W] [-S] -n PACKAGE/ACTIVITY\n");
        return 1;
    }
    std::string component;
    for (size_t i = 2; i < argv.size(); ++i) {
        if (argv[i] == "-n" && i + 1 < argv.size()) {
            component = argv[++i];
        } else if (!argv[i].starts_with("-")) {
            component = argv[i];
        }
    }
    if (component.empty()) {
        context.out.Err("Error: Intent does not match any activities\n");
        return 1;
    }
    const ActivityStart start = context.phone.Activities().Start(component);
    context.out.Out(start.text);
    return start.started ? 0 : 1;
}

std::string Row(const std::string& user, const std::string& pid, const std::string& parent,
                const std::string& size, const std::string& resident, const std::string& wait,
                const std::string& address, const std::string& state, const std::string& name) {
    char line[200];
    std::snprintf(line, sizeof line, "%-12s %5s %5s %7s %6s %-16s %4s %s %s\n", user.c_str(),
                  pid.c_str(), parent.c_str(), size.c_str(), resident.c_str(), wait.c_str(),
                  address.c_str(), state.c_str(), name.c_str());
    return line;
}

std::string ProcessLine(const std::string& user, int pid, int parent, const std::string& name,
                        const std::string& state = "S") {
    return Row(user, std::to_string(pid), std::to_string(parent), "2215468", "98212",
               "SyS_epoll_wait", "0", state, name);
}

int Ps(CommandContext& context, const Arguments&) {
    std::string text = Row("USER", "PID", "PPID", "VSZ", "RSS", "WCHAN", "ADDR", "S", "NAME");
    text += ProcessLine("root", 1, 0, "init");
    text += ProcessLine("root", 612, 1, "zygote64");
    text += ProcessLine("system", 1104, 612, "system_server");
    int pid = 3000;
    for (const std::string& app : context.phone.Activities().RunningApps()) {
        text += ProcessLine("u0_a101", pid++, 612, app);
    }
    text += ProcessLine("shell", 8810, 1, "sh");
    text += ProcessLine("shell", 8811, 8810, "ps", "R");
    context.out.Out(text);
    return 0;
}

int Screencap(CommandContext& context, const Arguments& argv) {
    if (!context.phone.Settings().screencap) {
        context.out.Err(std::string(kShellPath) + ": screencap: not found\n");
        return 127;
    }
    const SplitArguments arguments = SplitFlags(argv);
    const std::string target = arguments.operands.empty() ? "" : arguments.operands[0];
    if (!arguments.flags.contains('p') && !target.ends_with(".png")) {
        context.out.Err("screencap: only PNG output (-p or a .png file) is available\n");
        return 1;
    }
    const std::string& png = context.phone.ScreenPng();
    if (target.empty()) {
        context.out.Out(png);
        return 0;
    }
    const HostLocation location =
        context.phone.Files().Locate(target, Access::Write, context.asRoot);
    std::ofstream file;
    if (location.error == 0) {
        file.open(location.host, std::ios::binary | std::ios::trunc);
    }
    const int error = location.error != 0 ? location.error : errno;
    if (!file || !file.write(png.data(), static_cast<std::streamsize>(png.size()))) {
        context.out.Err("Error opening file: " + target + " (" + std::strerror(error) + ")\n");
        return 1;
    }
    return 0;
}

// "wm size" and "wm density" as Android 4.3 on print them; a phone of unknown density has no wm.
// "su -c 'command line'" or "su [root|0] command args...", for rooted phones only.
int Su(CommandContext& context, const Arguments& argv) {
    if (!context.phone.Settings().root) {
        context.out.Err(std::string(kShellPath) + ": su: not found\n");
        return 127;
    }
    CommandContext asRoot{context.phone, context.in, context.out, true};
    size_t first = 1;
    if (first < argv.size() && (argv[first] == "root" || argv[first] == "0")) {
        ++first;
    }
    if (first + 1 < argv.size() && argv[first] == "-c") {
        std::string line;
        for (size_t i = first + 1; i < argv.size(); ++i) {
            line += (line.empty() ? "" : " ") + argv[i];
        }
        return RunCommandLine(line, asRoot);
    }
    if (first < argv.size()) {
        return RunArguments(Arguments(argv.begin() + static_cast<long>(first), argv.end()), asRoot);
    }
    context.out.Err("su: an interactive root shell is not available; use su -c COMMAND\n");
    return 1;
}

}  // namespace

void AddSystemCommands(CommandTable& table) {
    table["am"] = Am;
    table["getprop"] = Getprop;
    table["ps"] = Ps;
    table["screencap"] = Screencap;
    table["su"] = Su;
}

}  // namespace tarnel::sim
