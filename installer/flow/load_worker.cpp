#include "installer/flow/load_worker.h"

#include <filesystem>

#include "installer/package/package_icon.h"
#include "installer/package/package_info.h"

namespace tarnel {
namespace {

std::string WrittenIcon(DeviceBridge& bridge, const std::filesystem::path& target, bool isPackage) {
    return ExtractIcon(bridge, target, isPackage) ? target.string() : std::string();
}

}  // namespace

std::string SafeFileName(const std::string& text) {
    std::string name;
    for (char c : text) {
        const bool safe = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                          (c >= '0' && c <= '9') || c == '.' || c == '_' || c == '-';
        name += safe ? c : '_';
    }
    // Dots alone would name the folder itself or its parent.
    if (name.find_first_not_of('.') == std::string::npos)
        name = "_" + name;
    return name;
}

LoadResult LoadApkFacts(DeviceBridge bridge, const std::string& iconFolder) {
    LoadResult result;
    result.loaded = bridge.InspectApk() == 0;
    if (result.loaded) {
        const std::string name = SafeFileName(bridge.packageName + bridge.versionName) + ".png";
        result.iconPath = WrittenIcon(bridge, std::filesystem::path(iconFolder) / name, false);
    }
    result.facts = std::move(bridge);
    return result;
}

LoadResult LoadPackageFacts(DeviceBridge bridge, const std::string& iconFolder, MessageSink& sink) {
    LoadResult result;
    result.loaded = ReadPackageInfo(bridge, sink) == 0;
    if (result.loaded) {
        const std::string stem = std::filesystem::path(bridge.packagePath).stem().string();
        result.iconPath = WrittenIcon(
            bridge, std::filesystem::path(iconFolder) / (SafeFileName(stem) + ".png"), true);
    }
    result.facts = std::move(bridge);
    return result;
}

}  // namespace tarnel
