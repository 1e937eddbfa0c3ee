#pragma once

#include <memory>
#include <string>

#include "bridge/device_bridge.h"

namespace tarnel {

struct OpenedBundle;

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
    bool isBundle = false;  // .xapk, .apks or .apkm
    bool toSdCard = true;
    // The bundle as read when its facts were loaded; read again when the file has changed since.
    std::shared_ptr<const OpenedBundle> bundle;
};

// How an installation ended; NoPhone: it did not start, as no phone was there.
enum class InstallOutcome { Installed, Failed, Stopped, NoPhone, SeveralPhones };

// Installs job on the phone with bridge, which holds the tool paths, the package's facts and the
// stop token. For a game package: unpack beside it, check, upload the data, install the APK; the
// unpack folder is removed on every outcome, and data already uploaded is removed again when the
// installation does not succeed. For a bundle: extract its APKs and read them, ask the phone what
// it is, choose the splits it needs (refused before anything is uploaded when none fit), upload
// the OBB files to Android/obb/PACKAGE/ and install the chosen APKs in one session.
InstallOutcome RunInstallJob(DeviceBridge& bridge, const InstallJob& job, InstallReporter& report);

}  // namespace tarnel
