#pragma once

#include <memory>
#include <optional>
#include <string>

#include "bridge/device_bridge.h"
#include "installer/flow/install_worker.h"

namespace tarnel {

// The installer window's flags and its bridge, touched on the window's thread only. Workers work
// on copies of the bridge and hand their results back.
struct InstallerState {
    int busy = 0;
    int isTpk = 0;
    int isBundle = 0;  // .xapk, .apks or .apkm
    int readyToInstall = 1;
    int packageLoaded = 0;
    int permissionPanelOpen = 0;
    int installToSdCard = 1;
    int loading = 0;        // a load worker is running
    int loadSucceeded = 0;  // the facts of the package last opened could be read
    // How the last press of the install button ended.
    std::optional<InstallOutcome> lastInstall;
    // What the start-up phone check found (UTF-8, empty until it reports) and whether that phone
    // is ready: the status line's word on the phone until an installation looks for it again.
    std::string startUpPhoneText;
    int startUpPhoneReady = 0;
    // The phone asked for (--serial or ANDROID_SERIAL); empty: the only one, or the user's choice.
    std::string wantedSerial;
    std::string openedPath;
    std::string iconTempPath;
    std::shared_ptr<const OpenedBundle> bundle;  // the bundle last loaded, as read
    DeviceBridge bridge{BridgeVariant::Installer};
};

}  // namespace tarnel
