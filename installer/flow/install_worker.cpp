#include "installer/flow/install_worker.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <functional>
#include <optional>
#include <thread>

#include "installer/flow/install_messages.h"
#include "installer/flow/phone_data.h"
#include "installer/package/bundle_reader.h"
#include "installer/package/folder_tree.h"
#include "installer/package/package_messages.h"
#include "installer/package/unpack_package.h"
#include "installer/package/verify_unpacked.h"

namespace tarnel {
namespace {

std::uint64_t BytesUnder(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return FolderByteSize(path);
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    return error ? 0 : size;
}

// The bytes of the data that the push sends, and those it leaves out as the phone has them.
struct PushShare {
    std::uint64_t sent = 0;
    std::uint64_t skipped = 0;
};
PushShare ShareToPush(const std::filesystem::path& dataFolder, const PhoneDataPlan& plan) {
    const std::string root = std::string(kPhoneDataRoot) + "/";
    PushShare share;
    for (const auto* paths : {&plan.added, &plan.replaced}) {
        for (const std::string& path : *paths)
            share.sent +=
                path.starts_with(root) ? BytesUnder(dataFolder / path.substr(root.size())) : 0;
    }
    const std::uint64_t all = BytesUnder(dataFolder);
    share.skipped = all > share.sent ? all - share.sent : 0;
    return share;
}

bool IsInside(const std::filesystem::path& path, const std::filesystem::path& folder) {
    const std::filesystem::path relative = path.lexically_normal().lexically_relative(folder);
    return !folder.empty() && !relative.empty() && *relative.begin() != ".." &&
           *relative.begin() != ".";
}

struct RemoveUnpackFolderWhenDone {
    DeviceBridge& bridge;
    ~RemoveUnpackFolderWhenDone() { RemoveFolderTree(bridge.unpackFolder); }
};

// A phone that is the cause says so rather than blaming space or the package.
std::string_view TroubleText(const DeviceBridge& bridge, std::string_view otherwise) {
    switch (bridge.phoneTrouble) {
        case DeviceBridge::PhoneTrouble::SeveralPhones:
            return text::kSeveralPhones;
        case DeviceBridge::PhoneTrouble::NoAnswer:
            return text::kPhoneNotAnswering;
        case DeviceBridge::PhoneTrouble::None:
            break;
    }
    return otherwise;
}

// install gives 1 on success, as DeviceBridge::InstallApk does.
InstallOutcome InstallStep(DeviceBridge& bridge, InstallReporter& report,
                           const std::function<int()>& install) {
    report.Status(NarrowText(text::kInstalling));
    if (install() == 1) {
        report.Status(NarrowText(text::kInstalled));
        return InstallOutcome::Installed;
    }
    if (bridge.stopToken.stop_requested())
        return InstallOutcome::Stopped;
    report.Status(NarrowText(TroubleText(bridge, InstallFailureText(bridge.installFailure))));
    return InstallOutcome::Failed;
}

// Unpacks and checks; gives the check's result, or kManifestBroken when the unpack itself
// failed (a corrupt entry is never uploaded), or kRefused after telling why.
constexpr int kRefused = 1;
int UnpackAndVerify(DeviceBridge& bridge, const InstallJob& job, InstallReporter& report) {
    UnpackOptions options;
    options.stop = bridge.stopToken;
    // The push leaves out a file the phone holds with the same size and time.
    options.timesFromContent = true;
    int shown = -1;
    options.progress = [&](std::uint64_t done, std::uint64_t total) {
        const int percent = total == 0 ? 100 : static_cast<int>(done * 100 / total);
        if (percent != shown)
            report.Progress(shown = percent);
    };
    const UnpackReport unpacked = UnpackPackage(bridge, job.packagePath, options);
    report.Progress(-1);
    if (unpacked.status == UnpackStatus::Refused) {
        report.Box(unpacked.message);
        return kRefused;
    }
    if (unpacked.status == UnpackStatus::Failed)
        return kManifestBroken;
    return VerifyUnpacked(bridge);
}

// Uploads the data folder (when there is one), then installs; the phone's earlier data is put
// back as it was unless the installation succeeds.
InstallOutcome UploadAndInstall(DeviceBridge& bridge, InstallReporter& report,
                                const std::function<int()>& install) {
    std::error_code error;
    const bool hasData =
        !bridge.obbSourceDir.empty() && std::filesystem::is_directory(bridge.obbSourceDir, error);
    std::optional<PhoneDataGuard> earlierData;
    if (hasData) {
        report.Status(NarrowText(text::kUploading));
        PhoneDataPlan plan = PlanPhoneData(bridge, bridge.obbSourceDir);
        // adb counts only the files it sends; those it leaves out are done already.
        const PushShare share = ShareToPush(bridge.obbSourceDir, plan);
        earlierData.emplace(bridge, std::move(plan));
        if (!earlierData->Prepare()) {
            // The game's files could not be put aside: nothing of them is risked.
            report.Status(NarrowText(TroubleText(bridge, text::kUploadFailed)));
            return InstallOutcome::Failed;
        }
        const int failed = bridge.PushObbData([&](int percent) {
            report.Progress(static_cast<int>(
                (share.skipped * 100 + share.sent * static_cast<std::uint64_t>(percent)) /
                std::max<std::uint64_t>(share.skipped + share.sent, 1)));
        });
        if (failed == 0)
            report.Progress(100);
        report.Progress(-1);
        if (failed != 0 || bridge.stopToken.stop_requested()) {
            if (!bridge.stopToken.stop_requested())
                report.Status(NarrowText(TroubleText(bridge, text::kUploadFailed)));
            // Half a game's data is of no use to the game and only takes space on the phone.
            earlierData->Restore();
            return bridge.stopToken.stop_requested() ? InstallOutcome::Stopped
                                                     : InstallOutcome::Failed;
        }
    }
    // The data is on the phone now: its unpacked copy goes while the APK installs.
    std::jthread removeData;
    if (hasData && IsInside(bridge.obbSourceDir, bridge.unpackFolder)) {
        removeData = std::jthread([folder = bridge.obbSourceDir] {
            try {
                RemoveFolderTree(folder);
            } catch (const std::exception&) {
                // What is left goes with the unpack folder.
            }
        });
    }
    const InstallOutcome outcome = InstallStep(bridge, report, install);
    if (earlierData)
        outcome == InstallOutcome::Installed ? earlierData->Commit() : earlierData->Restore();
    return outcome;
}

InstallOutcome InstallGamePackage(DeviceBridge& bridge, const InstallJob& job,
                                  InstallReporter& report) {
    report.Status(NarrowText(text::kUnpacking));
    const int check = UnpackAndVerify(bridge, job, report);
    const RemoveUnpackFolderWhenDone removeUnpacked{bridge};
    if (bridge.stopToken.stop_requested())
        return InstallOutcome::Stopped;
    if (check != kUnpackedIntact) {
        if (check != kRefused)
            report.Box(VerifyResultMessage(check));
        return InstallOutcome::Failed;
    }

    return UploadAndInstall(bridge, report,
                            [&] { return bridge.InstallApk(job.toSdCard ? 1 : 0); });
}

InstallOutcome InstallBundle(DeviceBridge& bridge, const InstallJob& job, InstallReporter& report) {
    report.Status(NarrowText(text::kUnpackingBundle));
    const std::filesystem::path folder = CreateUnpackFolder(job.packagePath);
    if (folder.empty()) {
        report.Box(NarrowText(kCacheNotWritable) + UnpackFolderBeside(job.packagePath).string());
        return InstallOutcome::Failed;
    }
    bridge.unpackFolder = folder.string();
    const RemoveUnpackFolderWhenDone removeUnpacked{bridge};
    // What loading the facts learnt of the file holds while the file is the same one.
    const bool readAlready = job.bundle && job.bundle->error.empty() && job.bundle->stamp &&
                             job.bundle->stamp == StampOf(job.packagePath);
    const OpenedBundle bundle =
        readAlready ? *job.bundle : OpenBundle(bridge, job.packagePath, folder);
    if (bridge.stopToken.stop_requested())
        return InstallOutcome::Stopped;
    if (!bundle.error.empty()) {
        report.Box(bundle.error);
        return InstallOutcome::Failed;
    }
    const std::optional<PhoneConfig> phone = bridge.ReadPhoneConfig();
    if (!phone) {
        if (bridge.stopToken.stop_requested())
            return InstallOutcome::Stopped;
        report.Status(NarrowText(TroubleText(bridge, text::kConnectPhone)));
        return InstallOutcome::Failed;
    }
    const SplitChoice choice = ChooseSplits(bundle.apks, *phone);
    if (!choice.refusal.empty()) {
        report.Status(NarrowText(choice.refusal));
        report.Box(NarrowText(choice.refusal));
        return InstallOutcome::Failed;
    }
    bridge.packageName = bundle.packageName;

    UnpackOptions options;
    options.stop = bridge.stopToken;
    options.timesFromContent = true;  // as for a game package: an unchanged file stays on the phone
    int shown = -1;
    options.progress = [&](std::uint64_t done, std::uint64_t total) {
        const int percent = total == 0 ? 100 : static_cast<int>(done * 100 / total);
        if (percent != shown)
            report.Progress(shown = percent);
    };
    const UnpackReport unpacked =
        UnpackBundle(bundle, job.packagePath, choice.files, folder, options);
    report.Progress(-1);
    if (unpacked.status == UnpackStatus::Cancelled || bridge.stopToken.stop_requested())
        return InstallOutcome::Stopped;
    if (unpacked.status != UnpackStatus::Done) {
        report.Box(NarrowText(kDecompressionError) + " " + unpacked.message);
        return InstallOutcome::Failed;
    }
    std::vector<std::string> apks;
    for (const std::string& file : choice.files) {
        const auto apk = std::find_if(bundle.apks.begin(), bundle.apks.end(),
                                      [&](const BundleSplit& each) { return each.file == file; });
        apks.push_back(UnpackedApk(folder, *apk).string());
    }
    bridge.obbSourceDir.clear();
    if (!bundle.expansions.empty() || !bundle.gameData.empty())
        bridge.obbSourceDir = (folder / "Android").string();
    return UploadAndInstall(bridge, report,
                            [&] { return bridge.InstallApks(apks, job.toSdCard ? 1 : 0); });
}

}  // namespace

InstallOutcome RunInstallJob(DeviceBridge& bridge, const InstallJob& job, InstallReporter& report) {
    try {
        if (job.isBundle)
            return InstallBundle(bridge, job, report);
        if (!job.isTpk) {
            bridge.apkPath = job.packagePath;
            return InstallStep(bridge, report,
                               [&] { return bridge.InstallApk(job.toSdCard ? 1 : 0); });
        }
        return InstallGamePackage(bridge, job, report);
    } catch (const std::exception& error) {
        // Out of memory or the like: the window must come back, not the process end.
        report.Box(NarrowText(text::kUnexpectedError) + error.what());
        return InstallOutcome::Failed;
    }
}

}  // namespace tarnel
