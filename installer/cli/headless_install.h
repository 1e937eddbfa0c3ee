#pragma once

#include <iosfwd>
#include <string>

namespace tarnel {

inline constexpr int kInstalledExit = 0;
inline constexpr int kFailedExit = 1;
inline constexpr int kSeveralPhonesExit = 2;
inline constexpr int kNoPhoneExit = 3;

// tarnelInstall --no-gui: the whole installation of one package without a window, to the SD card
// unless internal, on the phone with serial (or ANDROID_SERIAL; with neither, the only phone).
// Ctrl-C stops it cleanly. Gives the exit code.
int RunHeadlessInstall(const std::string& path, bool internal, std::ostream& out, std::ostream& err,
                       const std::string& serial = {});

}  // namespace tarnel
