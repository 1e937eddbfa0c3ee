#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

#include "bridge/device_bridge.h"
#include "client/core/phone_preparation.h"
#include "platform/tool_locator.h"
#include "tests/apk/apk_builder.h"

namespace tarnel::test {

// A program folder and a cache folder of the test's own (XDG_CACHE_HOME points at the latter),
// optionally with a stand-in companion APK that the simulated phone takes for the real one.
class ClientFolders {
  public:
    explicit ClientFolders(const std::string& tag)
        : root_(FreshTestFolder(tag)), program_(root_ / "program"), cache_(root_ / "cache") {
        std::filesystem::create_directories(program_);
        std::filesystem::create_directories(cache_);
        setenv("XDG_CACHE_HOME", cache_.c_str(), 1);
    }
    ~ClientFolders() {
        std::error_code error;
        std::filesystem::remove_all(root_, error);
    }

    void AddCompanionApk(const std::string& versionName) {
        ApkContents apk;
        apk.packageName = "com.kestrum.player";
        apk.versionName = versionName;
        apk.label = "Tarnel";
        BuildApk(apk, CompanionApk());
    }
    std::filesystem::path CompanionApk() const { return program_ / "tarnel.apk"; }
    const std::filesystem::path& Root() const { return root_; }

    // Six reads as the wizard makes them, with the given pause.
    PreparationSettings Settings(std::chrono::milliseconds pause) const {
        return {CompanionApk(), pause, 6};
    }

  private:
    std::filesystem::path root_;
    std::filesystem::path program_;
    std::filesystem::path cache_;
};

inline DeviceBridge ClientBridge() {
    DeviceBridge bridge(BridgeVariant::Client);
    bridge.adbPath = FindTool("adb", "TARNEL_ADB");
    bridge.aaptPath = FindTool("aapt", "TARNEL_AAPT");
    return bridge;
}

}  // namespace tarnel::test
