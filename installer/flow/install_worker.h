#pragma once

#include <string>

#include "bridge/device_bridge.h"

namespace tarnel {

// Where an installation tells how it goes; called on the installing thread, texts in the narrow
// encoding.
class InstallReporter {
  public:
    virtual ~InstallReporter() = default;
    virtual void Status(const std::string& text) = 0;
    virtual void Progress(int percent) = 0;  // -1: no progress to show
    virtual void Box(const std::string& text) = 0;
};

// One installation, fixed when it starts: nothing the window does later changes it.
struct InstallJob {
    std::string packagePath;  // the opened file
    bool isTpk = false;
    bool toSdCard = true;
};

// How an installation ended; NoPhone: it did not start, as no phone was there.
enum class InstallOutcome { Installed, Failed, Stopped, NoPhone };

// Installs job on the phone with bridge, which holds the tool paths, the package's facts and the
// stop token. For a game package: unpack beside it, check, upload the data, install the APK; the
// unpack folder is removed on every outcome, and data already uploaded is removed again when the
// installation does not succeed.
InstallOutcome RunInstallJob(DeviceBridge& bridge, const InstallJob& job, InstallReporter& report);

}  // namespace tarnel
