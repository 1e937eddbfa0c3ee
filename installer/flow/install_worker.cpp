#include "installer/flow/install_worker.h"

#include <filesystem>

#include "installer/flow/install_messages.h"
#include "installer/package/folder_tree.h"
#include "installer/package/package_messages.h"
#include "installer/package/unpack_package.h"
#include "installer/package/verify_unpacked.h"

namespace tarnel {
namespace {

// Also after a stop request, which would end the removal before it began.
void RemovePushedData(const DeviceBridge& bridge) {
    DeviceBridge cleaner = bridge;
    cleaner.stopToken = {};
    cleaner.RemoveObbData();
}

InstallOutcome InstallApkStep(DeviceBridge& bridge, bool toSdCard, InstallReporter& report) {
    report.Status(NarrowText(text::kInstalling));
    if (bridge.InstallApk(toSdCard ? 1 : 0) == 1) {
        report.Status(NarrowText(text::kInstalled));
        return InstallOutcome::Installed;
    }
    if (bridge.stopToken.stop_requested())
        return InstallOutcome::Stopped;
    report.Status(NarrowText(InstallFailureText(bridge.installFailure)));
    return InstallOutcome::Failed;
}

// Unpacks and checks; gives the check's result, or kManifestBroken when the unpack itself
// failed (a corrupt entry is never uploaded).
int UnpackAndVerify(DeviceBridge& bridge, const InstallJob& job, InstallReporter& report) {
    UnpackOptions options;
    options.stop = bridge.stopToken;
    int shown = -1;
    options.progress = [&](std::uint64_t done, std::uint64_t total) {
        const int percent = total == 0 ? 100 : static_cast<int>(done * 100 / total);
        if (percent != shown)
            report.Progress(shown = percent);
    };
    const UnpackReport unpacked = UnpackPackage(bridge, job.packagePath, options);
    report.Progress(-1);
    if (unpacked.status == UnpackStatus::Failed)
        return kManifestBroken;
    return VerifyUnpacked(bridge);
}

InstallOutcome InstallGamePackage(DeviceBridge& bridge, const InstallJob& job,
                                  InstallReporter& report) {
    report.Status(NarrowText(text::kUnpacking));
    const int check = UnpackAndVerify(bridge, job, report);
    struct RemoveWhenDone {
        DeviceBridge& bridge;
        ~RemoveWhenDone() { RemoveFolderTree(bridge.unpackFolder); }
    } removeUnpacked{bridge};
    if (bridge.stopToken.stop_requested())
        return InstallOutcome::Stopped;
    if (check != kUnpackedIntact) {
        report.Box(VerifyResultMessage(check));
        return InstallOutcome::Failed;
    }

    std::error_code error;
    const bool hasData = std::filesystem::is_directory(bridge.obbSourceDir, error);
    if (hasData) {
        report.Status(NarrowText(text::kUploading));
        const int failed = bridge.PushObbData([&](int percent) { report.Progress(percent); });
        report.Progress(-1);
        if (failed != 0 || bridge.stopToken.stop_requested()) {
            if (!bridge.stopToken.stop_requested())
                report.Status(NarrowText(text::kUploadFailed));
            // Half a game's data is of no use to the game and only takes space on the phone.
            RemovePushedData(bridge);
            return bridge.stopToken.stop_requested() ? InstallOutcome::Stopped
                                                     : InstallOutcome::Failed;
        }
    }
    const InstallOutcome outcome = InstallApkStep(bridge, job.toSdCard, report);
    if (outcome != InstallOutcome::Installed && hasData)
        RemovePushedData(bridge);
    return outcome;
}

}  // namespace

InstallOutcome RunInstallJob(DeviceBridge& bridge, const InstallJob& job, InstallReporter& report) {
    if (!job.isTpk) {
        bridge.apkPath = job.packagePath;
        return InstallApkStep(bridge, job.toSdCard, report);
    }
    return InstallGamePackage(bridge, job, report);
}

}  // namespace tarnel
