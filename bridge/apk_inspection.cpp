#include <filesystem>
#include <string_view>

#include "bridge/android_versions.h"
#include "bridge/device_bridge.h"
#include "bridge/marker_search.h"
#include "bridge/permission_text.h"
#include "bridge/size_text.h"

namespace tarnel {

int DeviceBridge::InspectApk() {
    const std::string output = Run(ToolCommand::Badging);
    if (output.find("ERROR: dump failed") != std::string::npos) {
        for (std::string* fact : {&appLabel, &packageName, &iconPath, &versionName, &androidVersion,
                                  &sizeText, &permissionText}) {
            fact->clear();
        }
        return -1;
    }
    appLabel = ValueBeforeApostrophe(output, "application: label='");
    packageName = ValueBeforeApostrophe(output, "package: name='");
    versionName = ValueBeforeApostrophe(output, "versionName='");
    androidVersion = ValueBeforeApostrophe(output, "sdkVersion:'");
    if (!androidVersion.empty()) {
        androidVersion = AndroidVersionName(androidVersion, VersionTableColumn::Inspection);
    }
    permissionText = DescribePermissions(PermissionTable, output, variant_);
    std::error_code error;
    const std::uintmax_t bytes = std::filesystem::file_size(apkPath, error);
    sizeText = error ? std::string() : SizeText(static_cast<double>(bytes));
    iconPath = ValueBeforeApostrophe(output, "icon='");
    return 0;
}

}  // namespace tarnel
