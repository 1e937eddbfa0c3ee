#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "bridge/device_info.h"
#include "bridge/permission_table.h"
#include "bridge/phone_config.h"
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

    // The phone every adb command but the device list goes to (adb -s); empty leaves the choice
    // to adb, which works while one phone is attached.
    std::string serial;

    // Client.
    DeviceInfo deviceInfo;
    int companionInstalled = 0;

    // Installer.
    std::string installFailure;
    std::string unpackFolder;

    // How long a quick query (devices, shell questions, badging) may take before its process
    // group is killed. Installs and pushes have no overall limit.
    std::chrono::milliseconds quickQueryLimit{30000};
    // How long an install or push may print nothing and move no bytes before the phone is taken
    // for hung and the run is ended: far beyond a slow phone's pauses. An install is held to it
    // only while adb reads the APKs: then the phone installs silently, for minutes with a big
    // game, and adb waits for its answer without a limit (a stop request still ends it).
    std::chrono::milliseconds noProgressLimit{120000};

    // Why the last install or push failed when the cause was the phone, not the package.
    enum class PhoneTrouble { None, SeveralPhones, NoAnswer };
    PhoneTrouble phoneTrouble = PhoneTrouble::None;

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
    // The same run with how it ended (could not start, finished with its exit status, timed out,
    // stopped) beside the converted text.
    RunResult RunToolResult(std::string commandLine, const RunOptions& options = {}) const;

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
    // Every phone adb lists, ready or not; empty when adb could not be asked.
    std::vector<AttachedPhone> ListPhones();

    // Operations on the phone.
    int InstallCompanionApk();
    int InstallApk(int toExternal);
    using ProgressFn = std::function<void(int percent)>;
    int PushObbData(const ProgressFn& progress = {});
    void RemoveObbData();
    bool TakeScreenshot();

    // Split APK bundles. The phone's ABIs, density and language in one shell run; nothing when
    // the phone could not be asked.
    std::optional<PhoneConfig> ReadPhoneConfig();
    // adb install-multiple -r of apks, the base first, judged as InstallApk judges one APK. The SD
    // card is asked for where the phone's package manager takes -s; elsewhere the phone chooses.
    int InstallApks(const std::vector<std::string>& apks, int toExternal);

    // Files on the phone. A listing is nothing when the folder is not there, and names only
    // what is certain: a folder that could not be read lists as unknown.
    struct DeviceListing {
        enum class State { Missing, Listed, Unknown };
        State state = State::Unknown;
        std::vector<std::string> names;
    };
    DeviceListing ListDeviceFolder(const std::string& devicePath);
    // Removes files and folders, with all they hold, from the phone.
    void RemoveDevicePaths(const std::vector<std::string>& devicePaths);
    // The size and modification time of each entry of a folder, as the phone's sync service
    // gives them (adb ls); nothing when the folder cannot be listed.
    struct DeviceFile {
        std::string name;
        std::uint32_t mode = 0;
        std::uint64_t size = 0;
        std::int64_t modified = 0;
    };
    std::vector<DeviceFile> ListDeviceFiles(const std::string& devicePath);
    // Renames files on the phone, each from first to second; true when every one was renamed.
    bool MoveDevicePaths(const std::vector<std::pair<std::string, std::string>>& moves);

    // APK inspection: 0 after parsing, -1 when aapt could not read the file.
    int InspectApk();
    std::string ApkPathCopy() const { return apkPath; }

    // adb, and -s with the chosen phone, as the head of a command line.
    std::string AdbHead() const;

  private:
    std::string Run(ToolCommand kind, const RunOptions& options = {}) const;
    RunResult RunKind(ToolCommand kind, const RunOptions& options = {}) const;
    // The limits of a run that uploads files and then waits for the phone's answer.
    RunOptions UploadOptions(const std::vector<std::string>& files) const;
    static bool Installed(const RunResult& run);
    static PhoneTrouble TroubleOf(const RunResult& run);

    BridgeVariant variant_;
};

// The companion app's package name and the oldest version that is still current.
inline constexpr std::string_view kCompanionPackage = "com.kestrum.player";
inline constexpr std::string_view kCompanionMinimumVersion = "2.2.0";

}  // namespace tarnel
