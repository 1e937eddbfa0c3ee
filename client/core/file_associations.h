#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tarnel {

inline constexpr const char* kInstallerDesktopEntry = "tarnelInstall.desktop";
inline constexpr const char* kApkMimeType = "application/vnd.android.package-archive";
inline constexpr const char* kTpkMimeType = "application/x-tarnel-tpk";
inline constexpr const char* kXapkMimeType = "application/x-xapk";
inline constexpr const char* kApksMimeType = "application/x-apks";
inline constexpr const char* kApkmMimeType = "application/x-apkm";
// Every type the installer opens; all but the APK's are defined by desktop/tarnel-tpk.xml.
inline constexpr const char* kInstallerMimeTypes[] = {kApkMimeType, kTpkMimeType, kXapkMimeType,
                                                      kApksMimeType, kApkmMimeType};

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

// The installer opens packages when the defaults of mimeapps.list for every one of its types
// name its desktop entry and that entry exists: the user's, opening this program folder's
// installer, or, when the programs are installed system-wide and this is that installation, the
// installed one.
bool IsAssociated(const AssociationFolders& folders);

enum class AssociationVariant {
    StartUp,   // writes nothing when IsAssociated() holds
    Settings,  // always writes
};

// Makes the installer the default for its types, per user: its desktop entry, the types the
// system does not know (one shared-mime-info package) and every default in mimeapps.list, then
// refreshes the desktop's caches. When this is a system-wide installation only the defaults are
// written, naming the installed entry. Every file is replaced atomically; other lines of
// mimeapps.list are kept byte for byte. False when there is no installer in the program folder
// (nothing is written) or a file could not be written.
bool RegisterFileAssociations(const AssociationFolders& folders, AssociationVariant variant);

// The desktop entry that opens files with the installer.
std::string DesktopEntryText(const std::filesystem::path& installer);

}  // namespace tarnel
