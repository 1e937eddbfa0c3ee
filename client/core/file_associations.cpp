#include "client/core/file_associations.h"

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <sstream>
#include <system_error>

#include "client/core/tpk_mime_type.h"
#include "platform/atomic_file.h"
#include "platform/folders.h"
#include "platform/log.h"
#include "platform/process_runner.h"

namespace fs = std::filesystem;

namespace tarnel {
namespace {

constexpr std::string_view kDefaultsSection = "[Default Applications]";
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

// A desktop-entry string value: backslashes doubled, line breaks and tabs as escapes.
std::string EscapeValue(std::string_view text) {
    std::string escaped;
    for (char c : text) {
        switch (c) {
            case '\\':
                escaped += "\\\\";
                break;
            case '\n':
                escaped += "\\n";
                break;
            case '\r':
                escaped += "\\r";
                break;
            case '\t':
                escaped += "\\t";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

std::string UnescapeValue(std::string_view text) {
    std::string plain;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            plain += text[i];
            continue;
        }
        const char next = text[++i];
        plain += next == 'n'   ? '\n'
                 : next == 'r' ? '\r'
                 : next == 't' ? '\t'
                 : next == 's' ? ' '
                               : next;
    }
    return plain;
}

// The value of key in the desktop entry's main group; empty when missing.
std::string EntryValue(std::string_view entry, std::string_view key) {
    std::istringstream lines{std::string(entry)};
    bool inMainGroup = false;
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line[0] == '[') {
            inMainGroup = line.starts_with("[Desktop Entry]");
            continue;
        }
        const size_t equals = line.find('=');
        if (!inMainGroup || equals == std::string::npos)
            continue;
        std::string_view name = std::string_view(line).substr(0, equals);
        while (!name.empty() && name.back() == ' ')
            name.remove_suffix(1);
        if (name == key) {
            std::string_view value = std::string_view(line).substr(equals + 1);
            while (!value.empty() && value.front() == ' ')
                value.remove_prefix(1);
            return UnescapeValue(value);
        }
    }
    return {};
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

// Other lines keep their bytes: text is split after each line break, which stays with its line.
std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        const size_t stop = end == std::string_view::npos ? text.size() : end + 1;
        lines.emplace_back(text.substr(start, stop - start));
        start = stop;
    }
    return lines;
}

std::string_view Trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return {};
    const size_t last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

bool IsGroupHeader(std::string_view line) {
    return Trimmed(line).starts_with('[');
}

// The key of a "key=value" line, or empty.
std::string_view KeyOf(std::string_view line) {
    const size_t equals = line.find('=');
    return equals == std::string_view::npos ? std::string_view{} : Trimmed(line.substr(0, equals));
}

std::string_view ValueOf(std::string_view line) {
    return Trimmed(line.substr(line.find('=') + 1));
}

std::vector<std::string> DesktopIds(std::string_view value) {
    std::vector<std::string> ids;
    std::istringstream parts{std::string(value)};
    for (std::string id; std::getline(parts, id, ';');) {
        if (!Trimmed(id).empty())
            ids.emplace_back(Trimmed(id));
    }
    return ids;
}

std::string DefaultLine(const std::string& type, const std::string& desktopId,
                        std::string_view oldValue, std::string_view lineEnd) {
    std::string line = type + "=" + desktopId + ";";
    for (const std::string& id : DesktopIds(oldValue)) {
        if (id != desktopId)
            line += id + ";";
    }
    return line + std::string(lineEnd);
}

}  // namespace

AssociationFolders AssociationFolders::FromEnvironment() {
    return {.dataHome = XdgHome("XDG_DATA_HOME", ".local/share"),
            .configHome = XdgHome("XDG_CONFIG_HOME", ".config"),
            .systemDataDirs = XdgDataDirs(),
            .programFolder = ProgramFolder()};
}

std::string QuoteExecArgument(std::string_view argument) {
    std::string quoted = "\"";
    for (char c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += '\\';
        // A lone percent sign would be read as a field code.
        quoted += c == '%' ? std::string("%%") : std::string(1, c);
    }
    return quoted + "\"";
}

std::string ExecProgram(std::string_view execValue) {
    execValue = Trimmed(execValue);
    std::string program;
    if (execValue.starts_with('"')) {
        for (size_t i = 1; i < execValue.size() && execValue[i] != '"'; ++i) {
            if (execValue[i] == '\\' && i + 1 < execValue.size())
                ++i;
            program += execValue[i];
        }
    } else {
        program = execValue.substr(0, execValue.find(' '));
    }
    // Percent signs were doubled for the field codes.
    for (size_t at = program.find("%%"); at != std::string::npos; at = program.find("%%", at + 1))
        program.erase(at, 1);
    return program;
}

std::string DesktopEntryText(const fs::path& installer) {
    const std::string exec = QuoteExecArgument(installer.string()) + " %f";
    return std::string(
               "[Desktop Entry]\n"
               "Type=Application\n"
               "Name=Tarnel安装器\n"
               "Comment=用Tarnel安装器打开\n"
               "Exec=") +
           EscapeValue(exec) +
           "\n"
           "Icon=" +
           EscapeValue((installer.parent_path() / "skin/home/tarnel.ico").string()) +
           "\n"
           "MimeType=" +
           kApkMimeType + ";" + kTpkMimeType +
           ";\n"
           "NoDisplay=true\n"
           "Terminal=false\n";
}

std::string WithDefaultApplication(std::string_view mimeapps, const std::vector<std::string>& types,
                                   const std::string& desktopId) {
    std::vector<std::string> lines = SplitLines(mimeapps);
    std::vector<bool> written(types.size(), false);
    size_t header = lines.size();
    bool inDefaults = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (IsGroupHeader(lines[i])) {
            inDefaults = Trimmed(lines[i]) == kDefaultsSection;
            if (inDefaults && header == lines.size())
                header = i;
            continue;
        }
        if (!inDefaults)
            continue;
        for (size_t t = 0; t < types.size(); ++t) {
            if (KeyOf(lines[i]) == types[t]) {
                const std::string_view lineEnd = lines[i].ends_with("\r\n") ? "\r\n" : "\n";
                lines[i] = DefaultLine(types[t], desktopId, ValueOf(lines[i]), lineEnd);
                written[t] = true;
            }
        }
    }
    std::string missing;
    for (size_t t = 0; t < types.size(); ++t) {
        if (!written[t])
            missing += DefaultLine(types[t], desktopId, {}, "\n");
    }
    if (header == lines.size()) {
        if (!lines.empty() && !lines.back().ends_with('\n'))
            lines.back() += '\n';
        lines.push_back(std::string(kDefaultsSection) + "\n");
        header = lines.size() - 1;
    } else if (!lines[header].ends_with('\n')) {
        lines[header] += '\n';
    }
    lines.insert(lines.begin() + static_cast<long>(header) + 1, missing);
    std::string text;
    for (const std::string& line : lines)
        text += line;
    return text;
}

std::string DefaultApplication(std::string_view mimeapps, std::string_view type) {
    bool inDefaults = false;
    for (const std::string& line : SplitLines(mimeapps)) {
        if (IsGroupHeader(line)) {
            inDefaults = Trimmed(line) == kDefaultsSection;
        } else if (inDefaults && KeyOf(line) == type) {
            const std::vector<std::string> ids = DesktopIds(ValueOf(line));
            return ids.empty() ? std::string() : ids.front();
        }
    }
    return {};
}

bool IsAssociated(const AssociationFolders& folders) {
    const std::string mimeapps = ReadWholeFile(MimeappsList(folders));
    if (DefaultApplication(mimeapps, kApkMimeType) != kInstallerDesktopEntry ||
        DefaultApplication(mimeapps, kTpkMimeType) != kInstallerDesktopEntry)
        return false;
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
    bool ok = true;
    const bool systemWide = IsSystemInstallation(folders);
    if (!systemWide) {
        const fs::path mimeFolder = folders.dataHome / "mime";
        if (WriteFileAtomically(mimeFolder / "packages" / kMimePackageName, kTpkMimeTypeXml))
            RunQuietly({"update-mime-database", mimeFolder.string()});
        else
            ok = false;
        ok = WriteFileAtomically(UserEntry(folders), DesktopEntryText(Installer(folders))) && ok;
    }
    const std::string mimeapps = ReadWholeFile(MimeappsList(folders));
    ok = WriteFileAtomically(MimeappsList(folders),
                             WithDefaultApplication(mimeapps, {kApkMimeType, kTpkMimeType},
                                                    kInstallerDesktopEntry)) &&
         ok;
    std::error_code error;
    const fs::path applications = folders.dataHome / "applications";
    if (fs::is_directory(applications, error))
        RunQuietly({"update-desktop-database", applications.string()});
    return ok;
}

}  // namespace tarnel
