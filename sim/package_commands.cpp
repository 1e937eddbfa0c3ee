#include <atomic>
#include <fstream>
#include <optional>

#include "sim/shell_commands.h"

namespace tarnel::sim {

namespace {

using Arguments = std::vector<std::string>;

constexpr size_t kChunk = 64 * 1024;

int ListPackages(CommandContext& context, const Arguments& argv) {
    const SplitArguments arguments = SplitFlags(argv);
    const std::string filter = arguments.operands.empty() ? "" : arguments.operands[0];
    std::string text;
    for (const InstalledPackage& package : context.phone.Packages().List()) {
        if ((arguments.flags.contains('3') && package.system) ||
            (arguments.flags.contains('s') && !package.system) ||
            package.name.find(filter) == std::string::npos) {
            continue;
        }
        text += "package:";
        if (arguments.flags.contains('f')) {
            text += package.codePath + "/base.apk=";
        }
        text += package.name + "\n";
    }
    context.out.Out(text);
    return 0;
}

struct InstallArguments {
    InstallOptions options;
    std::optional<uint64_t> streamedSize;  // -S: the APK comes on standard input
    std::string path;
    std::string error;
};

InstallArguments ParseInstallArguments(const Arguments& argv) {
    InstallArguments parsed;
    for (size_t i = 2; i < argv.size(); ++i) {
        const std::string& argument = argv[i];
        const bool takesValue = argument == "-S" || argument == "-i" || argument == "-p" ||
                                argument == "--user" || argument == "--install-location";
        if (takesValue && i + 1 == argv.size()) {
            parsed.error = "Error: option " + argument + " needs a value";
            return parsed;
        }
        if (argument == "-r") {
            parsed.options.replace = true;
        } else if (argument == "-s") {
            parsed.options.external = true;
        } else if (argument == "-d") {
            parsed.options.allowDowngrade = true;
        } else if (argument == "-S") {
            const std::string& size = argv[++i];
            if (size.empty() || size.find_first_not_of("0123456789") != std::string::npos) {
                parsed.error = "Error: invalid size " + size;
                return parsed;
            }
            parsed.streamedSize = std::stoull(size);
        } else if (takesValue) {
            ++i;
        } else if (argument == "-t" || argument == "-g" || argument == "-f" || argument == "-l" ||
                   argument == "-R" || argument == "-k") {
            continue;
        } else if (argument.starts_with("-")) {
            parsed.error = "Error: Unknown option: " + argument;
            return parsed;
        } else {
            parsed.path = argument;
        }
    }
    if (!parsed.streamedSize && parsed.path.empty()) {
        parsed.error = "Error: APK content must be streamed";
    }
    return parsed;
}

int Report(CommandContext& context, const PackageResult& result) {
    context.out.Out(result.text + "\n");
    return result.succeeded ? 0 : 1;
}

// Reads the promised number of bytes; they are kept in `into` unless it is empty.
bool ReceiveApk(CommandInput& in, uint64_t size, const std::filesystem::path& into) {
    std::ofstream file;
    if (!into.empty()) {
        file.open(into, std::ios::binary | std::ios::trunc);
    }
    std::string chunk;
    while (size > 0 && in.Read(static_cast<size_t>(std::min<uint64_t>(size, kChunk)), chunk)) {
        file.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        size -= chunk.size();
    }
    return size == 0 && (into.empty() || file.flush());
}

int InstallStreamed(CommandContext& context, const InstallArguments& arguments) {
    PackageManager& packages = context.phone.Packages();
    const uint64_t size = *arguments.streamedSize;
    if (std::optional<PackageResult> refused = packages.RefuseEarly(size, arguments.options)) {
        ReceiveApk(context.in, size, {});
        return Report(context, *refused);
    }
    static std::atomic<unsigned> sessions{0};
    const std::string staging = "/data/app/vmdl" + std::to_string(++sessions) + ".tmp";
    PhoneFileSystem& files = context.phone.Files();
    const std::filesystem::path apk = files.Locate(staging, Access::Write, true).host;
    if (!ReceiveApk(context.in, size, apk)) {
        std::filesystem::remove(apk);
        context.out.Err("Error: the APK stream ended early\n");
        return 1;
    }
    const PackageResult result = packages.Install(apk, arguments.options);
    std::filesystem::remove(apk);
    return Report(context, result);
}

// The package manager of Android 10 on throws on -s before it reads the APK.
bool RefusedSdCard(CommandContext& context, const InstallArguments& arguments,
                   const std::string& verb) {
    if (!arguments.options.external || !context.phone.RefusesSdCardOption()) {
        return false;
    }
    context.out.Out("\nException occurred while executing '" + verb +
                    "':\n"
                    "java.lang.IllegalArgumentException: Unknown option -s\n"
                    "\tat com.android.server.pm.PackageManagerShellCommand.makeInstallParams"
                    "(PackageManagerShellCommand.java:2721)\n");
    return true;
}

int Install(CommandContext& context, const Arguments& argv) {
    const InstallArguments arguments = ParseInstallArguments(argv);
    if (!arguments.error.empty()) {
        context.out.Err(arguments.error + "\n");
        return 1;
    }
    if (RefusedSdCard(context, arguments, "install")) {
        // adb sends the APK all the same.
        if (arguments.streamedSize) {
            ReceiveApk(context.in, *arguments.streamedSize, {});
        }
        return 255;
    }
    if (arguments.streamedSize) {
        return InstallStreamed(context, arguments);
    }
    const HostLocation location = context.phone.Files().Locate(arguments.path, Access::Read, true);
    std::error_code error;
    if (location.error != 0 || !std::filesystem::is_regular_file(location.host, error)) {
        context.out.Err("Error: Unable to open file: " + arguments.path +
                        "\nConsider using a file under /data/local/tmp/\nError: Can't open file: " +
                        arguments.path + "\n");
        return 1;
    }
    if (context.phone.Settings().installResultForm == InstallResultForm::Old) {
        context.out.Out("\tpkg: " + arguments.path + "\n");
    }
    return Report(context, context.phone.Packages().Install(location.host, arguments.options));
}

int Uninstall(CommandContext& context, const Arguments& argv) {
    const SplitArguments arguments = SplitFlags(argv);
    if (arguments.operands.size() < 2) {
        context.out.Err("Error: package name not specified\n");
        return 1;
    }
    return Report(context, context.phone.Packages().Uninstall(arguments.operands.back()));
}

int Path(CommandContext& context, const Arguments& argv) {
    const std::optional<InstalledPackage> package =
        argv.size() > 2 ? context.phone.Packages().Find(argv[2]) : std::nullopt;
    if (!package) {
        return 1;
    }
    std::string text = "package:" + package->codePath + "/base.apk\n";
    for (const std::string& split : package->splits) {
        text += "package:" + package->codePath + "/split_" + split + ".apk\n";
    }
    context.out.Out(text);
    return 0;
}

std::optional<int> SessionId(const std::string& text) {
    if (text.empty() || text.size() > 9 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    return std::stoi(text);
}

// install-create [options] [-S size].
int InstallCreate(CommandContext& context, const Arguments& argv) {
    const InstallArguments arguments = ParseInstallArguments(argv);
    if (!arguments.error.empty() && !arguments.error.starts_with("Error: APK content")) {
        context.out.Err(arguments.error + "\n");
        return 1;
    }
    if (RefusedSdCard(context, arguments, "install-create")) {
        return 255;
    }
    const int session = context.phone.Packages().CreateSession(arguments.options);
    context.out.Out("Success: created install session [" + std::to_string(session) + "]\n");
    return 0;
}

// install-write -S size SESSION NAME -: the APK comes on standard input.
int InstallWrite(CommandContext& context, const Arguments& argv) {
    const InstallArguments arguments = ParseInstallArguments(argv);
    std::vector<std::string> operands;
    for (size_t i = 2; i < argv.size(); ++i) {
        if (argv[i] == "-S") {
            ++i;
        } else {
            operands.push_back(argv[i]);
        }
    }
    if (!arguments.streamedSize || *arguments.streamedSize == 0) {
        context.out.Err("Error: must specify a APK size\n");
        return 1;
    }
    const std::optional<int> session = operands.size() >= 2 ? SessionId(operands[0]) : std::nullopt;
    const std::optional<std::filesystem::path> file =
        session ? context.phone.Packages().SessionFile(*session, operands[1]) : std::nullopt;
    if (!file) {
        ReceiveApk(context.in, *arguments.streamedSize, {});
        context.out.Err("Error: failed to write; no such session or file name\n");
        return 1;
    }
    if (!ReceiveApk(context.in, *arguments.streamedSize, *file)) {
        context.out.Err("Error: failed to write; the APK stream ended early\n");
        return 1;
    }
    context.out.Out("Success: streamed " + std::to_string(*arguments.streamedSize) + " bytes\n");
    return 0;
}

int InstallCommit(CommandContext& context, const Arguments& argv) {
    const std::optional<int> session = argv.size() > 2 ? SessionId(argv[2]) : std::nullopt;
    if (!session) {
        context.out.Err("Error: invalid session id\n");
        return 1;
    }
    return Report(context, context.phone.Packages().CommitSession(*session));
}

int InstallAbandon(CommandContext& context, const Arguments& argv) {
    const std::optional<int> session = argv.size() > 2 ? SessionId(argv[2]) : std::nullopt;
    if (!session || !context.phone.Packages().AbandonSession(*session)) {
        context.out.Err("Error: invalid session id\n");
        return 1;
    }
    context.out.Out("Success\n");
    return 0;
}

int Pm(CommandContext& context, const Arguments& argv) {
    const std::string verb = argv.size() > 1 ? argv[1] : "";
    if (verb == "list" && argv.size() > 2 && (argv[2] == "package" || argv[2] == "packages")) {
        Arguments rest(argv.begin() + 2, argv.end());
        return ListPackages(context, rest);
    }
    if (verb == "install") {
        return Install(context, argv);
    }
    if (verb == "uninstall") {
        return Uninstall(context, argv);
    }
    if (verb == "path") {
        return Path(context, argv);
    }
    if (verb == "install-create") {
        return InstallCreate(context, argv);
    }
    if (verb == "install-write") {
        return InstallWrite(context, argv);
    }
    if (verb == "install-commit") {
        return InstallCommit(context, argv);
    }
    if (verb == "install-abandon") {
        return InstallAbandon(context, argv);
    }
    context.out.Err(verb.empty() ? "usage: pm [list|install|install-create|install-write|"
                                   "install-commit|install-abandon|uninstall|path] ...\n"
                                 : "Unknown command: " + verb + "\n");
    return 1;
}

// "cmd package ..." is pm by another name; adb's streamed install goes through it.
int Cmd(CommandContext& context, const Arguments& argv) {
    if (argv.size() < 2) {
        context.out.Err("cmd: No service specified; use -l to list all services\n");
        return 20;
    }
    if (argv[1] != "package") {
        context.out.Err("cmd: Can't find service: " + argv[1] + "\n");
        return 20;
    }
    Arguments pm(argv.begin() + 1, argv.end());
    pm[0] = "pm";
    return Pm(context, pm);
}

}  // namespace

void AddPackageCommands(CommandTable& table) {
    table["pm"] = Pm;
    table["cmd"] = Cmd;
}

}  // namespace tarnel::sim
