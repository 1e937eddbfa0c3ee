#pragma once

#include <filesystem>
#include <string>
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
// byte for byte. False when there is no installer in the program folder (nothing is written) or a
// file could not be written.
bool RegisterFileAssociations(const AssociationFolders& folders, AssociationVariant variant);

// The desktop entry that opens files with the installer.
std::string DesktopEntryText(const std::filesystem::path& installer);

}  // namespace tarnel
