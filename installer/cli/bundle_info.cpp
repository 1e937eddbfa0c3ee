#include "installer/cli/bundle_info.h"

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "bridge/device_bridge.h"
#include "bridge/phone_choice.h"
#include "bridge/size_text.h"
#include "installer/flow/install_messages.h"
#include "installer/package/bundle_reader.h"
#include "installer/package/folder_tree.h"
#include "installer/package/package_messages.h"
#include "platform/folders.h"
#include "platform/text_codec.h"

namespace tarnel {
namespace {

nlohmann::ordered_json PhoneFacts(DeviceBridge& bridge, const OpenedBundle& bundle) {
    if (bridge.adbPath.empty())
        return nullptr;
    const PhoneChoice attached = ChoosePhone(bridge.ListPhones(), bridge.serial);
    if (attached.outcome != PhoneChoice::Outcome::Chosen)
        return nullptr;
    bridge.serial = attached.serial;
    const std::optional<PhoneConfig> phone = bridge.ReadPhoneConfig();
    if (!phone)
        return nullptr;
    nlohmann::ordered_json facts;
    facts["abis"] = phone->abis;
    facts["density"] = phone->density;
    facts["language"] = phone->language;
    const SplitChoice choice = ChooseSplits(bundle.apks, *phone);
    if (!choice.refusal.empty()) {
        facts["refusal"] = choice.refusal;
        return facts;
    }
    nlohmann::json chosen = nlohmann::json::array();
    for (const BundleSplit& apk : bundle.apks) {
        if (std::find(choice.files.begin(), choice.files.end(), apk.file) != choice.files.end())
            chosen.push_back(apk.splitName.empty() ? "base" : apk.splitName);
    }
    facts["chosen"] = chosen;
    return facts;
}

}  // namespace

int RunBundleInfo(DeviceBridge& bridge, const std::string& path, std::ostream& out,
                  std::ostream& err) {
    std::error_code error;
    const std::filesystem::path work = CreateBundleWorkFolder();
    if (work.empty()) {
        err << NarrowText(kCacheNotWritable) << WorkTmpFolder(error).string() << '\n';
        return 2;
    }
    struct RemoveWhenDone {
        std::filesystem::path folder;
        ~RemoveWhenDone() { RemoveFolderTree(folder); }
    } removeWork{work};
    const OpenedBundle bundle = OpenBundle(bridge, path, work);
    if (!bundle.error.empty()) {
        err << bundle.error << '\n';
        return 2;
    }
    bridge.apkPath = bundle.apks.front().file;
    if (bridge.InspectApk() != 0) {
        err << NarrowText(text::kBadPackage) << '\n';
        return 2;
    }
    const std::uintmax_t bytes = std::filesystem::file_size(path, error);
    nlohmann::ordered_json facts;
    facts["appLabel"] =
        bridge.appLabel.empty() ? bundle.description.appName : AnsiToUtf8(bridge.appLabel);
    facts["packageName"] = AnsiToUtf8(bridge.packageName);
    facts["versionName"] = AnsiToUtf8(bridge.versionName);
    facts["androidVersion"] = AnsiToUtf8(bridge.androidVersion);
    facts["sizeText"] = error ? std::string() : AnsiToUtf8(SizeText(static_cast<double>(bytes)));
    facts["iconPath"] = bundle.iconEntry.empty() ? AnsiToUtf8(bridge.iconPath) : bundle.iconEntry;
    facts["permissionText"] = AnsiToUtf8(bridge.permissionText);
    nlohmann::json splits = nlohmann::json::array();
    for (const BundleSplit& apk : bundle.apks)
        splits.push_back(apk.splitName.empty() ? "base" : apk.splitName);
    facts["splits"] = splits;
    nlohmann::json obbFiles = nlohmann::json::array();
    for (const BundleExpansion& expansion : bundle.expansions)
        obbFiles.push_back(expansion.installPath);
    facts["obbFiles"] = obbFiles;
    nlohmann::json dataFiles = nlohmann::json::array();
    for (const BundleExpansion& file : bundle.gameData)
        dataFiles.push_back(file.installPath);
    facts["dataFiles"] = dataFiles;
    facts["phone"] = PhoneFacts(bridge, bundle);
    out << facts.dump(2) << '\n';
    return 0;
}

}  // namespace tarnel
