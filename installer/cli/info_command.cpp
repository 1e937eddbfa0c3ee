#include "installer/cli/info_command.h"

#include <nlohmann/json.hpp>

#include <filesystem>
#include <ostream>

#include "bridge/device_bridge.h"
#include "installer/flow/install_messages.h"
#include "installer/package/package_info.h"
#include "installer/package/package_messages.h"
#include "platform/folders.h"
#include "platform/text_codec.h"

namespace tarnel {
namespace {

void PrintFacts(const DeviceBridge& bridge, std::ostream& out) {
    nlohmann::ordered_json facts;
    facts["appLabel"] = AnsiToUtf8(bridge.appLabel);
    facts["packageName"] = AnsiToUtf8(bridge.packageName);
    facts["versionName"] = AnsiToUtf8(bridge.versionName);
    facts["androidVersion"] = AnsiToUtf8(bridge.androidVersion);
    facts["sizeText"] = AnsiToUtf8(bridge.sizeText);
    facts["iconPath"] = AnsiToUtf8(bridge.iconPath);
    facts["permissionText"] = AnsiToUtf8(bridge.permissionText);
    out << facts.dump(2) << '\n';
}

class StderrSink : public MessageSink {
  public:
    explicit StderrSink(std::ostream& err) : err_(err) {}
    void ShowMessage(const std::string& text, const std::string& caption) override {
        err_ << caption << ": " << text << '\n';
    }

  private:
    std::ostream& err_;
};

}  // namespace

bool IsGamePackagePath(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension == ".tpk";
}

int RunInfoCommand(DeviceBridge& bridge, const std::string& path, std::ostream& out,
                   std::ostream& err) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        err << "tarnelInstall: " << path << ": no such file\n";
        return 2;
    }
    if (bridge.aaptPath.empty()) {
        err << "tarnelInstall: aapt was not found (install Debian's aapt package, or set "
               "TARNEL_AAPT)\n";
        return 2;
    }
    const std::string absolute = std::filesystem::absolute(path).string();
    if (IsGamePackagePath(absolute)) {
        bridge.packagePath = absolute;
        StderrSink sink(err);
        if (ReadPackageInfo(bridge, sink) != 0) {
            err << NarrowText(text::kBadPackage) << '\n';
            return 2;
        }
        const int permissions = ReadPackagePermissions(bridge);
        if (permissions == kPermissionsApkDiffers) {
            err << NarrowText(kApkNameDiffersText) << '\n';
            return 2;
        }
        if (permissions == kPermissionsNoWorkFolder) {
            std::error_code folderError;
            err << NarrowText(kCacheNotWritable) << WorkTmpFolder(folderError).string() << " ("
                << folderError.message() << ")\n";
            return 2;
        }
    } else {
        bridge.apkPath = absolute;
        if (bridge.InspectApk() != 0) {
            err << NarrowText(text::kBadPackage) << '\n';
            return 2;
        }
    }
    PrintFacts(bridge, out);
    return 0;
}

}  // namespace tarnel
