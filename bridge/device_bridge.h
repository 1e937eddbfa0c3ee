#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

#include "bridge/device_info.h"
#include "bridge/permission_table.h"
#include "bridge/phone_state.h"
#include "bridge/tool_command.h"
#include "platform/process_runner.h"

namespace tarnel {

// The one way both programs reach a phone and look into APK files: every question is one run of
// adb or aapt, whose text is searched for fixed markers. Operations block the calling thread;
// results come back as return values and in the public members below, which a caller reads after
// the call has returned. One worker at a time drives the operations that write members.
class DeviceBridge {
  public:
    explicit DeviceBridge(BridgeVariant variant);

    PermissionMap PermissionTable;
    std::string adbPath;
    std::string aaptPath;
    std::string apkPath;
    std::string packagePath;
    std::string obbSourceDir;
    std::string appLabel;
    std::string packageName;
    std::string versionName;
    std::string androidVersion;
    std::string sizeText;
    std::string permissionText;
    std::string iconPath;

    // Client.
    DeviceInfo deviceInfo;
    int companionInstalled = 0;

    // Installer.
    std::string installFailure;
    std::string unpackFolder;

    // How long a quick query (devices, shell questions, badging) may take before its process
    // group is killed. Installs and pushes have no limit.
    std::chrono::milliseconds quickQueryLimit{30000};

    // A stop request ends the running tool at once (its text so far is what the operation sees).
    std::stop_token stopToken;

    BridgeVariant Variant() const { return variant_; }

    // Finds adb and aapt (tools/ in the program folder, then PATH; TARNEL_ADB and TARNEL_AAPT
    // override) and starts adb's server in the background with "adb devices".
    void DiscoverTools();

    // The command line of a kind, or empty when the kind has no entry in this variant or needs a
    // member that is empty or unsafe.
    std::string BuildCommand(ToolCommand kind) const;

    // Runs a command line (never through a shell) and returns its standard output and error,
    // converted to the narrow encoding; empty when nothing could be started.
    std::string RunTool(std::string commandLine, const RunOptions& options = {}) const;

    // Device discovery and facts.
    int IsDeviceConnected();
    int IsCompanionInstalled();
    bool IsCompanionCurrent();
    void StartCompanion();
    int ReadDeviceInfo();
    // The same facts through adb's shell in one run, for a phone without the companion app:
    // 1 when read (deviceInfo replaced), 0 when the run did not get through.
    int ReadDirectFacts();
    // How adb lists the phone; IsDeviceConnected keeps its own plain yes or no.
    PhoneState QueryPhoneState();

    // Operations on the phone.
    int InstallCompanionApk();
    int InstallApk(int toExternal);
    using ProgressFn = std::function<void(int percent)>;
    int PushObbData(const ProgressFn& progress = {});
    void RemoveObbData();
    bool TakeScreenshot();

    // APK inspection: 0 after parsing, -1 when aapt could not read the file.
    int InspectApk();
    std::string ApkPathCopy() const { return apkPath; }

  private:
    std::string Run(ToolCommand kind, const RunOptions& options = {}) const;

    BridgeVariant variant_;
};

// The companion app's package name and the oldest version that is still current.
inline constexpr std::string_view kCompanionPackage = "com.kestrum.player";
inline constexpr std::string_view kCompanionMinimumVersion = "2.2.0";

}  // namespace tarnel
