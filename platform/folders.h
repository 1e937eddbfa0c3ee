#pragma once

#include <filesystem>
#include <system_error>

namespace tarnel {

// The folder of the running executable (skin/, tools/, the companion APK); TARNEL_HOME overrides.
// Empty when /proc/self/exe cannot be read: never the current directory.
std::filesystem::path ProgramFolder();

// $XDG_CONFIG_HOME/tarnel, default ~/.config/tarnel: the user's settings.
std::filesystem::path UserConfigFolder();

// $XDG_CACHE_HOME/tarnel, default ~/.cache/tarnel: work files.
std::filesystem::path UserCacheFolder();

// UserCacheFolder()/tmp, created when missing: screenshots and temporary copies.
std::filesystem::path WorkTmpFolder();
// The same, with why it could not be created (a read-only home, say) in error.
std::filesystem::path WorkTmpFolder(std::error_code& error);

}  // namespace tarnel
