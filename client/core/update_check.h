#pragma once

#include <chrono>
#include <filesystem>
#include <string>

#include "client/core/http_socket.h"

namespace tarnel {

struct UpdateCheckFolders {
    std::filesystem::path programFolder;  // Update.ini (read only) and Updater
    std::filesystem::path cacheFolder;    // Updater.ini, the downloaded version file
};

class UpdateCheckReporter {
  public:
    virtual ~UpdateCheckReporter() = default;
    virtual void ShowMessage(const std::string& text) = 0;  // a message box text
    virtual void NewVersionAvailable() = 0;
};

// Runs the check once, on the caller's thread: reads the installed version and the version file's
// address from Update.ini, downloads the version file as Updater.ini and reports a newer version,
// or removes Updater.ini when it announces nothing newer. Every wait on the server ends after
// limit.
void UpdateCheckThread(const UpdateCheckFolders& folders, UpdateCheckReporter& reporter,
                       std::chrono::milliseconds limit);
inline void UpdateCheckThread(const UpdateCheckFolders& folders, UpdateCheckReporter& reporter) {
    UpdateCheckThread(folders, reporter, kReceiveLimit);
}

// A version number as the C library's atof reads it, whatever the process locale: leading blanks,
// then the longest number; 0 when there is none.
double VersionNumber(const std::string& text);

// Starts Updater from the program folder, detached; false when it is missing or cannot start.
bool StartUpdater(const std::filesystem::path& programFolder);

}  // namespace tarnel
