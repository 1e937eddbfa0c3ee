#include "client/core/file_associations.h"

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <iterator>
#include <sstream>
#include <system_error>

#include "client/core/desktop_entry.h"
#include "client/core/mimeapps_list.h"
#include "client/core/package_mime_types.h"
#include "platform/atomic_file.h"
#include "platform/folders.h"
#include "platform/log.h"
#include "platform/process_runner.h"

namespace fs = std::filesystem;

namespace tarnel {
namespace {

constexpr const char* kMimePackageName = "tarnel-tpk.xml";
constexpr std::chrono::seconds kToolLimit{30};

fs::path XdgHome(const char* variable, const char* fallbackUnderHome) {
    if (const char* value = std::getenv(variable); value != nullptr && value[0] == '/')
        return value;
    const char* home = std::getenv("HOME");
    return fs::path(home != nullptr && home[0] == '/' ? home : "/tmp") / fallbackUnderHome;
}

std::vector<fs::path> XdgDataDirs() {
    const char* value = std::getenv("XDG_DATA_DIRS");
    std::string list = value != nullptr && value[0] != '\0' ? value : "/usr/local/share:/usr/share";
    std::vector<fs::path> dirs;
    std::istringstream parts(list);
    for (std::string part; std::getline(parts, part, ':');) {
        if (!part.empty() && part[0] == '/')
            dirs.emplace_back(part);
    }
    return dirs;
}

// An Exec program as the desktop would run it: an absolute path, or a name looked up in PATH.
fs::path ResolveProgram(const std::string& program) {
    if (program.empty() || program[0] == '/')
        return program;
    if (program.find('/') != std::string::npos)
        return {};
    const char* path = std::getenv("PATH");
    std::istringstream dirs(path != nullptr ? path : "/usr/bin:/bin");
    for (std::string dir; std::getline(dirs, dir, ':');) {
        const fs::path candidate = fs::path(dir) / program;
        if (!dir.empty() && ::access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return {};
}

bool SameFile(const fs::path& a, const fs::path& b) {
    std::error_code error;
    return !a.empty() && !b.empty() && fs::equivalent(a, b, error) && !error;
}

fs::path Installer(const AssociationFolders& folders) {
    return folders.programFolder / "tarnelInstall";
}

fs::path UserEntry(const AssociationFolders& folders) {
    return folders.dataHome / "applications" / kInstallerDesktopEntry;
}

fs::path MimeappsList(const AssociationFolders& folders) {
    return folders.configHome / "mimeapps.list";
}

// The desktop entry of a system-wide installation when this program folder is the installed one.
bool IsSystemInstallation(const AssociationFolders& folders) {
    for (const fs::path& dir : folders.systemDataDirs) {
        if (SameFile(dir, folders.dataHome))
            continue;
        bool found = false;
        const std::string entry =
            ReadWholeFile(dir / "applications" / kInstallerDesktopEntry, &found);
        if (found)
            return SameFile(ResolveProgram(ExecProgram(EntryValue(entry, "Exec"))),
                            Installer(folders));
    }
    return false;
}

void RunQuietly(const std::vector<std::string>& argv) {
    const RunResult result = RunProcess(argv, {.timeLimit = kToolLimit});
    if (result.outcome != RunResult::Outcome::Finished || result.exitStatus != 0)
        LogLine(argv[0] + " did not finish cleanly: " + result.output);
}

}  // namespace

AssociationFolders AssociationFolders::FromEnvironment() {
    return {.dataHome = XdgHome("XDG_DATA_HOME", ".local/share"),
            .configHome = XdgHome("XDG_CONFIG_HOME", ".config"),
            .systemDataDirs = XdgDataDirs(),
            .programFolder = ProgramFolder()};
}

std::string DesktopEntryText(const fs::path& installer) {
    const std::string exec = QuoteExecArgument(installer.string()) + " %f";
    std::string types;
    for (const char* type : kInstallerMimeTypes)
        types += std::string(type) + ";";
    return std::string(
               "[Desktop Entry]\n"
               "Type=Application\n"
               "Name=Tarnel安装器\n"
               "Comment=用Tarnel安装器打开\n"
               "Exec=") +
           EscapeEntryValue(exec) +
           "\n"
           "Icon=" +
           EscapeEntryValue((installer.parent_path() / "skin/home/tarnel.ico").string()) +
           "\n"
           "MimeType=" +
           types +
           "\n"
           "NoDisplay=true\n"
           "Terminal=false\n";
}

bool IsAssociated(const AssociationFolders& folders) {
    const std::string mimeapps = ReadWholeFile(MimeappsList(folders));
    for (const char* type : kInstallerMimeTypes) {
        if (DefaultApplication(mimeapps, type) != kInstallerDesktopEntry)
            return false;
    }
    if (IsSystemInstallation(folders))
        return true;
    // A program folder that has moved leaves an entry that opens nothing: not in place.
    bool found = false;
    const std::string entry = ReadWholeFile(UserEntry(folders), &found);
    return found && entry == DesktopEntryText(Installer(folders));
}

bool RegisterFileAssociations(const AssociationFolders& folders, AssociationVariant variant) {
    if (variant == AssociationVariant::StartUp && IsAssociated(folders))
        return true;
    // An association that opens nothing would take .apk files from whatever opened them before.
    if (::access(Installer(folders).c_str(), X_OK) != 0) {
        LogLine("no installer at " + Installer(folders).string() + ": no file associations");
        return false;
    }
    bool ok = true;
    const bool systemWide = IsSystemInstallation(folders);
    if (!systemWide) {
        const fs::path mimeFolder = folders.dataHome / "mime";
        if (WriteFileAtomically(mimeFolder / "packages" / kMimePackageName, kPackageMimeTypesXml))
            RunQuietly({"update-mime-database", mimeFolder.string()});
        else
            ok = false;
        ok = WriteFileAtomically(UserEntry(folders), DesktopEntryText(Installer(folders))) && ok;
    }
    const std::string mimeapps = ReadWholeFile(MimeappsList(folders));
    ok = WriteFileAtomically(
             MimeappsList(folders),
             WithDefaultApplication(
                 mimeapps, {std::begin(kInstallerMimeTypes), std::end(kInstallerMimeTypes)},
                 kInstallerDesktopEntry)) &&
         ok;
    std::error_code error;
    const fs::path applications = folders.dataHome / "applications";
    if (fs::is_directory(applications, error))
        RunQuietly({"update-desktop-database", applications.string()});
    return ok;
}

}  // namespace tarnel
