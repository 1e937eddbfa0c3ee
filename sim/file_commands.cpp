#include <dirent.h>
#include <sys/stat.h>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <memory>

#include "sim/shell_commands.h"

namespace tarnel::sim {

namespace {

constexpr size_t kChunk = 64 * 1024;

int Cat(CommandContext& context, const std::vector<std::string>& argv) {
    const SplitArguments arguments = SplitFlags(argv);
    if (arguments.operands.empty()) {
        std::string chunk;
        while (context.in.Read(kChunk, chunk)) {
            context.out.Out(chunk);
        }
        return 0;
    }
    int status = 0;
    for (const std::string& path : arguments.operands) {
        const HostLocation location =
            context.phone.Files().Locate(path, Access::Read, context.asRoot);
        struct stat info;
        int error = location.error;
        if (error == 0 && stat(location.host.c_str(), &info) != 0) {
            error = errno;
        }
        if (error == 0 && S_ISDIR(info.st_mode)) {
            error = EISDIR;
        }
        std::ifstream file(location.host, std::ios::binary);
        if (error == 0 && !file) {
            error = errno;
        }
        if (error != 0) {
            Complain(context, "cat", path, error);
            status = 1;
            continue;
        }
        std::string chunk(kChunk, '\0');
        while (file.read(chunk.data(), kChunk) || file.gcount() > 0) {
            context.out.Out(std::string_view(chunk.data(), static_cast<size_t>(file.gcount())));
        }
    }
    return status;
}

int Echo(CommandContext& context, const std::vector<std::string>& argv) {
    const bool newline = argv.size() < 2 || argv[1] != "-n";
    std::string text;
    for (size_t i = newline ? 1 : 2; i < argv.size(); ++i) {
        text += (text.empty() ? "" : " ") + argv[i];
    }
    context.out.Out(newline ? text + "\n" : text);
    return 0;
}

std::string ModeText(mode_t mode) {
    std::string text = S_ISDIR(mode) ? "d" : S_ISLNK(mode) ? "l" : "-";
    const char* letters = "rwxrwxrwx";
    for (int bit = 0; bit < 9; ++bit) {
        text.push_back(mode & (0400 >> bit) ? letters[bit] : '-');
    }
    return text;
}

std::string LongLine(const std::string& name, const struct stat& info) {
    char when[32];
    tm local{};
    localtime_r(&info.st_mtime, &local);
    std::strftime(when, sizeof when, "%Y-%m-%d %H:%M", &local);
    return ModeText(info.st_mode) + " " + std::to_string(info.st_nlink) + " root root " +
           std::to_string(info.st_size) + " " + when + " " + name + "\n";
}

std::vector<std::string> Entries(const std::filesystem::path& folder, bool all) {
    std::vector<std::string> names;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
    while (dir) {
        const dirent* entry = readdir(dir.get());
        if (entry == nullptr) {
            break;
        }
        if (entry->d_name[0] != '.' || all) {
            names.emplace_back(entry->d_name);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

int Ls(CommandContext& context, const std::vector<std::string>& argv) {
    const SplitArguments arguments = SplitFlags(argv);
    const bool all = arguments.flags.contains('a');
    const bool longForm = arguments.flags.contains('l');
    std::vector<std::string> paths = arguments.operands;
    if (paths.empty()) {
        paths.push_back("/");
    }
    int status = 0;
    bool first = true;
    for (const std::string& path : paths) {
        const HostLocation location =
            context.phone.Files().Locate(path, Access::Read, context.asRoot);
        struct stat info;
        const int error =
            location.error != 0 ? location.error : (stat(location.host.c_str(), &info) ? errno : 0);
        if (error != 0) {
            Complain(context, "ls", path, error);
            status = 1;
            continue;
        }
        if (!S_ISDIR(info.st_mode)) {
            context.out.Out(longForm ? LongLine(path, info) : path + "\n");
            continue;
        }
        std::string listing = paths.size() > 1 ? (first ? "" : "\n") + path + ":\n" : "";
        first = false;
        for (const std::string& name : Entries(location.host, all)) {
            struct stat entry;
            if (longForm && lstat((location.host / name).c_str(), &entry) == 0) {
                listing += LongLine(name, entry);
            } else {
                listing += name + "\n";
            }
        }
        context.out.Out(listing);
    }
    return status;
}

int Mkdir(CommandContext& context, const std::vector<std::string>& argv) {
    const SplitArguments arguments = SplitFlags(argv);
    int status = 0;
    for (const std::string& path : arguments.operands) {
        PhoneFileSystem& files = context.phone.Files();
        int error = 0;
        if (arguments.flags.contains('p')) {
            error = files.MakeDirectories(path, context.asRoot);
        } else {
            const HostLocation location = files.Locate(path, Access::Write, context.asRoot);
            struct stat info;
            error = lstat(location.host.c_str(), &info) == 0 ? EEXIST : location.error;
            if (error == 0 && mkdir(location.host.c_str(), 0771) != 0) {
                error = errno;
            }
        }
        if (error != 0) {
            Complain(context, "mkdir", "'" + path + "'", error);
            status = 1;
        }
    }
    return status;
}

uint64_t TreeSize(const std::filesystem::path& root) {
    std::error_code error;
    if (!std::filesystem::is_directory(std::filesystem::symlink_status(root, error))) {
        return std::filesystem::is_regular_file(std::filesystem::symlink_status(root, error))
                   ? std::filesystem::file_size(root, error)
                   : 0;
    }
    uint64_t size = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root, error)) {
        if (entry.is_regular_file(error) && !entry.is_symlink(error)) {
            size += entry.file_size(error);
        }
    }
    return size;
}

int Rm(CommandContext& context, const std::vector<std::string>& argv) {
    const SplitArguments arguments = SplitFlags(argv);
    const bool recursive = arguments.flags.contains('r') || arguments.flags.contains('R');
    const bool force = arguments.flags.contains('f');
    int status = 0;
    for (const std::string& path : arguments.operands) {
        PhoneFileSystem& files = context.phone.Files();
        const HostLocation location =
            files.Locate(path, Access::Write, context.asRoot, FinalLink::Keep);
        struct stat info;
        int error = lstat(location.host.c_str(), &info) != 0 ? errno : location.error;
        if (error == 0 && S_ISDIR(info.st_mode) && !recursive) {
            error = EISDIR;
        }
        if (error == ENOENT && force) {
            continue;
        }
        if (error != 0) {
            Complain(context, "rm", path, error);
            status = 1;
            continue;
        }
        const uint64_t freed =
            PhoneFileSystem::IsSharedStorage(location) ? TreeSize(location.host) : 0;
        std::error_code removeError;
        std::filesystem::remove_all(location.host, removeError);
        if (removeError) {
            Complain(context, "rm", path, removeError.value());
            status = 1;
            continue;
        }
        files.ReleaseSharedStorage(freed);
    }
    return status;
}

// mv [-f] FROM TO, as toybox does it for one file: a rename, over a file already at TO.
int Mv(CommandContext& context, const std::vector<std::string>& argv) {
    const SplitArguments arguments = SplitFlags(argv);
    if (arguments.operands.size() != 2) {
        context.out.Err("mv: Needs 2 arguments\n");
        return 1;
    }
    PhoneFileSystem& files = context.phone.Files();
    const HostLocation from =
        files.Locate(arguments.operands[0], Access::Write, context.asRoot, FinalLink::Keep);
    const HostLocation to =
        files.Locate(arguments.operands[1], Access::Write, context.asRoot, FinalLink::Keep);
    struct stat info;
    int error = from.error != 0 ? from.error : to.error;
    if (error == 0 && lstat(from.host.c_str(), &info) != 0) {
        error = errno;
    }
    struct stat replaced;
    const bool replacing = error == 0 && lstat(to.host.c_str(), &replaced) == 0 &&
                           S_ISREG(replaced.st_mode) && PhoneFileSystem::IsSharedStorage(to);
    if (error == 0 && rename(from.host.c_str(), to.host.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        Complain(context, "mv", "bad '" + arguments.operands[0] + "'", error);
        return 1;
    }
    if (replacing) {
        files.ReleaseSharedStorage(static_cast<uint64_t>(replaced.st_size));
    }
    return 0;
}

}  // namespace

SplitArguments SplitFlags(const std::vector<std::string>& argv) {
    SplitArguments split;
    bool flagsEnded = false;
    for (size_t i = 1; i < argv.size(); ++i) {
        const std::string& argument = argv[i];
        if (!flagsEnded && argument == "--") {
            flagsEnded = true;
        } else if (!flagsEnded && argument.size() > 1 && argument[0] == '-') {
            split.flags.insert(argument.begin() + 1, argument.end());
        } else {
            split.operands.push_back(argument);
        }
    }
    return split;
}

void Complain(CommandContext& context, std::string_view tool, std::string_view path, int error) {
    context.out.Err(std::string(tool) + ": " + std::string(path) + ": " + std::strerror(error) +
                    "\n");
}

void AddFileCommands(CommandTable& table) {
    table["cat"] = Cat;
    table["echo"] = Echo;
    table["ls"] = Ls;
    table["mkdir"] = Mkdir;
    table["mv"] = Mv;
    table["rm"] = Rm;
}

}  // namespace tarnel::sim
