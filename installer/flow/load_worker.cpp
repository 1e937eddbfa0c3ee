#include "installer/flow/load_worker.h"

#include <filesystem>

#include "bridge/size_text.h"
#include "installer/package/bundle_reader.h"
#include "installer/package/folder_tree.h"
#include "installer/package/package_icon.h"
#include "installer/package/package_info.h"
#include "platform/folders.h"

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

LoadResult LoadBundleFacts(DeviceBridge bridge, const std::string& iconFolder, MessageSink& sink) {
    LoadResult result;
    const std::filesystem::path bundlePath = bridge.packagePath;
    std::error_code error;
    const std::filesystem::path work = CreateBundleWorkFolder();
    if (work.empty()) {
        sink.ShowMessage(NarrowText(kCacheNotWritable) + WorkTmpFolder(error).string(),
                         NarrowText(kErrorCaption));
        result.facts = std::move(bridge);
        return result;
    }
    const OpenedBundle bundle = OpenBundle(bridge, bundlePath, work);
    if (!bundle.error.empty()) {
        sink.ShowMessage(bundle.error, NarrowText(kErrorCaption));
    } else {
        bridge.apkPath = bundle.apks.front().file;
        result.loaded = bridge.InspectApk() == 0;
    }
    if (result.loaded) {
        if (bridge.appLabel.empty())
            bridge.appLabel = NarrowText(bundle.description.appName);
        const std::uintmax_t bytes = std::filesystem::file_size(bundlePath, error);
        bridge.sizeText = error ? std::string() : SizeText(static_cast<double>(bytes));
        const std::filesystem::path icon =
            std::filesystem::path(iconFolder) /
            (SafeFileName(bridge.packageName + bridge.versionName) + ".png");
        result.iconPath = WrittenIcon(bridge, icon, true);
        if (result.iconPath.empty())
            result.iconPath = WrittenIcon(bridge, icon, false);
        result.bundle = std::make_shared<const OpenedBundle>(bundle);
        result.summary =
            NarrowText("安装包内有 " + std::to_string(bundle.apks.size()) + " 个APK文件、" +
                       std::to_string(bundle.expansions.size()) + " 个OBB文件");
    }
    // The extracted APKs go with the work folder; the facts name the bundle itself.
    bridge.apkPath = bundlePath.string();
    RemoveFolderTree(work);
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
