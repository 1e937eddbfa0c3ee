#pragma once

#include <filesystem>
#include <string>

#include "bridge/device_bridge.h"
#include "client/core/phone_preparation.h"
#include "platform/tool_locator.h"
#include "tests/apk/apk_builder.h"
#include "tests/support/test_home.h"

namespace tarnel::test {

// A home of the test's own, optionally with a stand-in companion APK in its program folder that
// the simulated phone takes for the real one.
class ClientFolders : public TestHome {
  public:
    ClientFolders() : TestHome("", true) {}

    void AddCompanionApk(const std::string& versionName) {
        ApkContents apk;
        apk.packageName = "com.kestrum.player";
        apk.versionName = versionName;
        apk.label = "Tarnel";
        BuildApk(apk, ProgramFolder() / "tarnel.apk");
    }

    // Six reads as the wizard makes them, with the given pause.
    PreparationSettings Settings(std::chrono::milliseconds pause) const {
        return {ProgramFolder() / "tarnel.apk", pause, 6};
    }
};

inline DeviceBridge ClientBridge() {
    DeviceBridge bridge(BridgeVariant::Client);
    bridge.adbPath = FindTool("adb", "TARNEL_ADB");
    bridge.aaptPath = FindTool("aapt", "TARNEL_AAPT");
    return bridge;
}

}  // namespace tarnel::test
