#include "installer/package/bundle_reader.h"

#include <stdlib.h>
#include <strings.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <thread>

#include "bridge/device_bridge.h"
#include "bridge/marker_search.h"
#include "installer/package/entry_name_policy.h"
#include "installer/package/folder_tree.h"
#include "installer/package/output_tree.h"
#include "installer/package/package_archive.h"
#include "installer/package/package_check.h"
#include "installer/package/package_messages.h"
#include "platform/folders.h"
#include "platform/tool_locator.h"

namespace tarnel {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kTwoFilesForOnePlace = "安装包内有两个文件要放到手机上的同一个位置：";

// A description file of a few kilobytes; anything far bigger is not one.
constexpr std::uint64_t kDescriptionLimit = 1 << 20;

bool EndsWithNoCase(std::string_view text, std::string_view end) {
    return text.size() >= end.size() &&
           strncasecmp(text.data() + text.size() - end.size(), end.data(), end.size()) == 0;
}

bool IsZip(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    char magic[4] = {};
    in.read(magic, sizeof magic);
    return in && magic[0] == 'P' && magic[1] == 'K' && magic[2] == 3 && magic[3] == 4;
}

// The APK entries of an .apks or .apkm: every .apk but bundletool's alternatives to splits.
std::vector<std::string> ApkEntries(const PackageArchive& archive) {
    std::vector<std::string> entries;
    for (std::uint64_t index = 0; index < archive.Count(); ++index) {
        const std::optional<ArchiveEntry> entry = archive.Entry(index);
        if (!entry || entry->IsDirectory() || !EndsWithNoCase(entry->name, ".apk"))
            continue;
        const std::string& name = entry->name;
        if (name.starts_with("standalones/") || name.starts_with("instant/") ||
            name.starts_with("asset-slices/") || name.starts_with("archive/") ||
            name.starts_with("system/")) {
            continue;
        }
        entries.push_back(name);
    }
    return entries;
}

struct Identity {
    std::string packageName;
    std::string versionCode;
    std::string splitName;
};

std::optional<Identity> ReadIdentity(const DeviceBridge& tools, const fs::path& apk) {
    DeviceBridge reader = tools;
    reader.apkPath = apk.string();
    RunOptions options;
    options.timeLimit = tools.quickQueryLimit;
    options.stop = tools.stopToken;
    const RunResult run = reader.RunToolResult(reader.BuildCommand(ToolCommand::Badging), options);
    if (run.outcome != RunResult::Outcome::Finished || run.exitStatus != 0)
        return std::nullopt;
    const std::string firstLine = run.output.substr(0, run.output.find('\n'));
    Identity identity{ValueBeforeApostrophe(firstLine, "package: name='"),
                      ValueBeforeApostrophe(firstLine, "versionCode='"),
                      ValueBeforeApostrophe(firstLine, " split='")};
    if (identity.packageName.empty())
        return std::nullopt;
    return identity;
}

// Each APK's identity, in order; aapt reads one APK a run, so a bundle's are read a few at once.
std::vector<std::optional<Identity>> ReadIdentities(const DeviceBridge& tools,
                                                    const std::vector<fs::path>& apks) {
    std::vector<std::optional<Identity>> identities(apks.size());
    std::atomic<std::size_t> next{0};
    const unsigned readers = std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
    std::vector<std::jthread> threads;
    for (unsigned reader = 0; reader < readers && reader < apks.size(); ++reader) {
        threads.emplace_back([&] {
            for (std::size_t at = next++; at < apks.size(); at = next++) {
                try {
                    identities[at] = ReadIdentity(tools, apks[at]);
                } catch (const std::exception&) {
                    // Left unread: the bundle is refused as unreadable.
                }
            }
        });
    }
    threads.clear();  // joins
    return identities;
}

std::string Refused(std::string_view reason, std::string_view detail = {}) {
    return NarrowText(reason) + std::string(detail);
}

fs::path ApkTarget(const fs::path& folder, std::uint64_t index) {
    return folder / "apk" / (std::to_string(index) + ".apk");
}

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Entries under Android/obb/PACKAGE/ and Android/data/PACKAGE/ that no expansion lists go to
// their own place, the first folders spelt as the phone spells them. Anything else under Android/
// is refused, as is a second file for one place (shared storage ignores letter case).
std::string CollectGameData(const PackageArchive& archive, OpenedBundle& bundle) {
    std::map<std::string, std::string> places;  // lower-case place to the entry that fills it
    std::set<std::uint64_t> listed;
    for (const BundleExpansion& expansion : bundle.expansions) {
        listed.insert(expansion.entryIndex);
        if (!places.emplace(Lower(expansion.installPath), expansion.entry).second)
            return Refused(kTwoFilesForOnePlace, expansion.installPath);
    }
    for (std::uint64_t index = 0; index < archive.Count(); ++index) {
        const std::optional<ArchiveEntry> entry = archive.Entry(index);
        if (!entry || entry->IsDirectory() || entry->IsSymbolicLink() || listed.contains(index))
            continue;
        const std::string lowerName = Lower(entry->name);
        const bool underAndroid =
            lowerName.starts_with("android/") || lowerName.starts_with("android\\");
        if (JudgeEntryName(entry->name) != NameVerdict::Safe) {
            if (underAndroid)
                return Refused(kDataOutside, entry->name);
            continue;
        }
        std::vector<std::string> place = NameComponents(entry->name);
        if (Lower(place.front()) != "android")
            continue;
        if (place.size() < 4 || (Lower(place[1]) != "obb" && Lower(place[1]) != "data") ||
            Lower(place[2]) != Lower(bundle.packageName)) {
            return Refused(kDataOutside, entry->name);
        }
        place[0] = "Android";
        place[1] = Lower(place[1]);
        place[2] = bundle.packageName;
        const std::string installPath = JoinComponents(place);
        if (const auto [held, added] = places.emplace(Lower(installPath), entry->name); !added)
            return Refused(kTwoFilesForOnePlace, held->second + " / " + entry->name);
        (place[1] == "obb" ? bundle.expansions : bundle.gameData)
            .push_back({entry->name, installPath, index});
    }
    return {};
}

}  // namespace

OpenedBundle OpenBundle(const DeviceBridge& tools, const fs::path& path,
                        const fs::path& apkFolder) {
    OpenedBundle bundle;
    bundle.stamp = StampOf(path);
    bundle.kind = BundleKindOf(path).value_or(BundleKind::Apks);
    if (bundle.kind == BundleKind::Apkm && fs::is_regular_file(path) && !IsZip(path)) {
        bundle.error = Refused(
            "这是加密的旧版APKM文件，无法读取。请到APKMirror重新下载（2021年后的APKM文件未加密）"
            "。");
        return bundle;
    }
    std::string openError;
    const std::optional<PackageArchive> archive = PackageArchive::Open(path, &openError);
    if (!archive) {
        bundle.error = Refused(kDecompressionError);
        return bundle;
    }
    const char* descriptionName = bundle.kind == BundleKind::Xapk   ? "manifest.json"
                                  : bundle.kind == BundleKind::Apkm ? "info.json"
                                                                    : nullptr;
    if (descriptionName != nullptr) {
        const std::optional<std::uint64_t> index = archive->Find(descriptionName);
        const std::optional<std::string> text =
            index ? archive->ReadWhole(*index, kDescriptionLimit) : std::nullopt;
        if (!text) {
            bundle.error = Refused("安装包内缺少说明文件：", descriptionName);
            return bundle;
        }
        try {
            bundle.description =
                bundle.kind == BundleKind::Xapk ? ParseXapkManifest(*text) : ParseApkmInfo(*text);
        } catch (const std::exception& error) {
            bundle.error = Refused("安装包的说明文件有误：",
                                   std::string(descriptionName) + ": " + error.what());
            return bundle;
        }
    }
    std::vector<std::string> entries = bundle.description.apkEntries;
    if (entries.empty())
        entries = ApkEntries(*archive);
    if (entries.empty()) {
        bundle.error = Refused("安装包内没有APK文件。");
        return bundle;
    }
    if (archive->Find("icon.png"))
        bundle.iconEntry = "icon.png";

    std::vector<std::uint64_t> indexes;
    std::vector<fs::path> targets;
    for (const std::string& name : entries) {
        const std::optional<std::uint64_t> index = archive->Find(name);
        if (JudgeEntryName(name) != NameVerdict::Safe || !index) {
            bundle.error = Refused("安装包内的APK文件名无效或缺失：", name);
            return bundle;
        }
        const fs::path target = ApkTarget(apkFolder, *index);
        std::string error;
        if (!archive->ExtractToFile(*index, target, &error)) {
            bundle.error = Refused(kDecompressionError, " " + name + ": " + error);
            return bundle;
        }
        indexes.push_back(*index);
        targets.push_back(target);
    }
    const std::vector<std::optional<Identity>> identities = ReadIdentities(tools, targets);
    std::map<std::string, std::string> splitFiles;  // split name to the entry that has it
    for (std::size_t at = 0; at < entries.size(); ++at) {
        const std::string& name = entries[at];
        const std::optional<Identity>& identity = identities[at];
        if (!identity) {
            bundle.error = Refused("安装包内的APK无法读取：", name);
            return bundle;
        }
        if (!bundle.apks.empty() && (identity->packageName != bundle.packageName ||
                                     identity->versionCode != bundle.versionCode)) {
            bundle.error = Refused("安装包内的APK不属于同一个软件版本：", name);
            return bundle;
        }
        bundle.packageName = identity->packageName;
        bundle.versionCode = identity->versionCode;
        if (!splitFiles.emplace(identity->splitName, name).second) {
            bundle.error = Refused(
                identity->splitName.empty() ? "安装包内有多个基础APK：" : "安装包内有重复的分包：",
                name);
            return bundle;
        }
        bundle.apks.push_back({targets[at].string(), identity->splitName, indexes[at]});
    }
    if (!splitFiles.contains("")) {
        bundle.error = Refused("安装包内没有基础APK（base.apk）。");
        return bundle;
    }
    std::stable_partition(bundle.apks.begin(), bundle.apks.end(),
                          [](const BundleSplit& apk) { return apk.splitName.empty(); });
    if (!bundle.description.packageName.empty() &&
        bundle.description.packageName != bundle.packageName) {
        bundle.error = Refused(kApkNameDiffersText);
        return bundle;
    }
    if (std::string refusal = CheckPackageEntries(*archive, bundle.packageName); !refusal.empty()) {
        bundle.error = refusal;
        return bundle;
    }
    for (const BundleExpansion& expansion : bundle.description.expansions) {
        const std::optional<std::string> place =
            ExpansionPlace(expansion.installPath, bundle.packageName);
        const std::optional<std::uint64_t> index = archive->Find(expansion.entry);
        if (!place || JudgeEntryName(expansion.entry) != NameVerdict::Safe || !index) {
            bundle.error = Refused(
                "扩展数据的安装位置无效，只能在 Android/obb/" + bundle.packageName + "/ 之内：",
                expansion.installPath);
            return bundle;
        }
        bundle.expansions.push_back({expansion.entry, *place, *index});
    }
    bundle.error = CollectGameData(*archive, bundle);
    return bundle;
}

fs::path CreateBundleWorkFolder() {
    std::error_code error;
    std::string pattern = (WorkTmpFolder(error) / "bundle-XXXXXX").string();
    if (error || mkdtemp(pattern.data()) == nullptr)
        return {};
    return pattern;
}

std::string CheckBundleFile(const fs::path& path) {
    const fs::path work = CreateBundleWorkFolder();
    std::error_code error;
    if (work.empty())
        return NarrowText(kCacheNotWritable) + WorkTmpFolder(error).string();
    DeviceBridge tools(BridgeVariant::Installer);
    tools.aaptPath = FindTool("aapt", "TARNEL_AAPT");
    const OpenedBundle bundle = OpenBundle(tools, path, work);
    RemoveFolderTree(work);
    return bundle.error;
}

std::optional<FileStamp> StampOf(const fs::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return std::nullopt;
    return FileStamp{
        static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
        static_cast<std::uint64_t>(info.st_size),
        static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec};
}

fs::path UnpackedApk(const fs::path& folder, const BundleSplit& apk) {
    return ApkTarget(folder, apk.entryIndex);
}

UnpackReport UnpackBundle(const OpenedBundle& bundle, const fs::path& path,
                          const std::vector<std::string>& chosen, const fs::path& folder,
                          UnpackOptions options) {
    std::map<std::uint64_t, std::vector<std::string>> places;  // entry index to its components
    for (const BundleSplit& apk : bundle.apks) {
        if (std::find(chosen.begin(), chosen.end(), apk.file) != chosen.end())
            places[apk.entryIndex] = {"apk", std::to_string(apk.entryIndex) + ".apk"};
    }
    for (const auto* files : {&bundle.expansions, &bundle.gameData}) {
        for (const BundleExpansion& file : *files)
            places[file.entryIndex] = NameComponents(file.installPath);
    }
    options.place = [&places](const ArchiveEntry& entry) {
        const auto found = places.find(entry.index);
        return found == places.end() ? std::nullopt
                                     : std::optional<std::vector<std::string>>(found->second);
    };
    std::error_code error;
    UnpackReport report = UnpackArchive(fs::absolute(path, error), folder, options);
    // An entry the unpacker left out (a link, say) would be missing on the phone.
    if (report.status == UnpackStatus::Done && report.files != places.size()) {
        report.status = UnpackStatus::Failed;
        report.message = report.skipped.empty()
                             ? "entries missing"
                             : report.skipped.front().name + ": " + report.skipped.front().reason;
    }
    return report;
}

}  // namespace tarnel
