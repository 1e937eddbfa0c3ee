#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tarnel {

inline constexpr const char* kInstallerDesktopEntry = "tarnelInstall.desktop";
inline constexpr const char* kApkMimeType = "application/vnd.android.package-archive";
inline constexpr const char* kTpkMimeType = "application/x-tarnel-tpk";

// Where the per-user associations go and where the programs are.
struct AssociationFolders {
    std::filesystem::path dataHome;    // $XDG_DATA_HOME, default ~/.local/share
    std::filesystem::path configHome;  // $XDG_CONFIG_HOME, default ~/.config
    // $XDG_DATA_DIRS, default /usr/local/share and /usr/share: where a system-wide installation
    // puts its desktop entry.
    std::vector<std::filesystem::path> systemDataDirs;
    std::filesystem::path programFolder;  // the folder of tarnelInstall

    static AssociationFolders FromEnvironment();
};

// The installer opens .apk and .tpk files when both defaults of mimeapps.list name its desktop
// entry and that entry exists: the user's, opening this program folder's installer, or, when
// the programs are installed system-wide and this is that installation, the installed one.
bool IsAssociated(const AssociationFolders& folders);

enum class AssociationVariant {
    StartUp,   // writes nothing when IsAssociated() holds
    Settings,  // always writes
};

// Makes the installer the default for .apk and .tpk files, per user: its desktop entry, the .tpk
// type (one shared-mime-info package) and both defaults in mimeapps.list, then refreshes the
// desktop's caches. When this is a system-wide installation only the defaults are written, naming
// the installed entry. Every file is replaced atomically; other lines of mimeapps.list are kept
// byte for byte. False when a file could not be written.
bool RegisterFileAssociations(const AssociationFolders& folders, AssociationVariant variant);

// The parts, for tests.
std::string DesktopEntryText(const std::filesystem::path& installer);
// An Exec argument quoted as the desktop-entry rules ask, before the value's own escapes.
std::string QuoteExecArgument(std::string_view argument);
// The program an Exec value starts (its first argument, unquoted); empty when there is none.
std::string ExecProgram(std::string_view execValue);
// The text of mimeapps.list with desktopId first among the defaults of every type.
std::string WithDefaultApplication(std::string_view mimeapps, const std::vector<std::string>& types,
                                   const std::string& desktopId);
// The first desktop id mimeapps.list names as the type's default; empty when none.
std::string DefaultApplication(std::string_view mimeapps, std::string_view type);

}  // namespace tarnel
