#include "installer/flow/install_worker.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <filesystem>

#include "installer/flow/install_messages.h"
#include "installer/flow/phone_data.h"
#include "installer/package/folder_tree.h"
#include "installer/package/package_messages.h"
#include "installer/package/unpack_package.h"
#include "installer/package/verify_unpacked.h"

namespace tarnel {
namespace {

// A bridge for cleaning up, which works also after a stop request.
DeviceBridge Cleaner(const DeviceBridge& bridge) {
    DeviceBridge cleaner = bridge;
    cleaner.stopToken = {};
    return cleaner;
}

// Where a file that the push writes over waits, beside itself, until the install has succeeded.
std::string SetAsideName(const std::string& path) {
    const size_t slash = path.rfind('/');
    return path.substr(0, slash + 1) + "." + path.substr(slash + 1) + ".tarnel-old";
}

std::vector<std::string> SetAsideNames(const std::vector<std::string>& paths) {
    std::vector<std::string> names;
    for (const std::string& path : paths)
        names.push_back(SetAsideName(path));
    return names;
}

std::vector<std::pair<std::string, std::string>> SetAside(const std::vector<std::string>& paths) {
    std::vector<std::pair<std::string, std::string>> moves;
    for (const std::string& path : paths)
        moves.emplace_back(path, SetAsideName(path));
    return moves;
}

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
PushShare ShareToPush(const std::filesystem::path& dataFolder, const PhoneDataChange& change) {
    const std::string root = std::string(kPhoneDataRoot) + "/";
    PushShare share;
    for (const auto* paths : {&change.added, &change.replaced}) {
        for (const std::string& path : *paths)
            share.sent +=
                path.starts_with(root) ? BytesUnder(dataFolder / path.substr(root.size())) : 0;
    }
    const std::uint64_t all = BytesUnder(dataFolder);
    share.skipped = all > share.sent ? all - share.sent : 0;
    return share;
}

// Leaves the phone's data as it was before this run: removes what it added and what it wrote
// over, and puts the earlier files back. Where setting them aside failed, nothing was written and
// a file that was not set aside is still the earlier one.
void UndoPush(const DeviceBridge& bridge, const PhoneDataChange& change, bool setAside) {
    DeviceBridge cleaner = Cleaner(bridge);
    std::vector<std::string> written = change.added;
    if (setAside)
        written.insert(written.end(), change.replaced.begin(), change.replaced.end());
    cleaner.RemoveDevicePaths(written);
    std::vector<std::pair<std::string, std::string>> back;
    for (const auto& [path, aside] : SetAside(change.replaced))
        back.emplace_back(aside, path);
    cleaner.MoveDevicePaths(back);
}

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

InstallOutcome InstallApkStep(DeviceBridge& bridge, bool toSdCard, InstallReporter& report) {
    report.Status(NarrowText(text::kInstalling));
    if (bridge.InstallApk(toSdCard ? 1 : 0) == 1) {
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
        if (check != kRefused)
            report.Box(VerifyResultMessage(check));
        return InstallOutcome::Failed;
    }

    std::error_code error;
    const bool hasData = std::filesystem::is_directory(bridge.obbSourceDir, error);
    PhoneDataChange change;
    if (hasData) {
        report.Status(NarrowText(text::kUploading));
        change = PhoneDataThePushChanges(bridge, bridge.obbSourceDir);
        const bool setAside = bridge.MoveDevicePaths(SetAside(change.replaced));
        // adb counts only the files it sends; those it leaves out are done already.
        const PushShare share = ShareToPush(bridge.obbSourceDir, change);
        const int failed = setAside ? bridge.PushObbData([&](int percent) {
            report.Progress(static_cast<int>(
                (share.skipped * 100 + share.sent * static_cast<std::uint64_t>(percent)) /
                std::max<std::uint64_t>(share.skipped + share.sent, 1)));
        })
                                    : 1;
        // adb says nothing of the files it leaves out, which are done all the same.
        if (failed == 0)
            report.Progress(100);
        report.Progress(-1);
        if (failed != 0 || bridge.stopToken.stop_requested()) {
            if (!bridge.stopToken.stop_requested())
                report.Status(NarrowText(TroubleText(bridge, text::kUploadFailed)));
            // Half a game's data is of no use to the game and only takes space on the phone.
            UndoPush(bridge, change, setAside);
            return bridge.stopToken.stop_requested() ? InstallOutcome::Stopped
                                                     : InstallOutcome::Failed;
        }
    }
    const InstallOutcome outcome = InstallApkStep(bridge, job.toSdCard, report);
    if (hasData && outcome != InstallOutcome::Installed)
        UndoPush(bridge, change, true);
    else if (hasData)
        Cleaner(bridge).RemoveDevicePaths(SetAsideNames(change.replaced));
    return outcome;
}

}  // namespace

InstallOutcome RunInstallJob(DeviceBridge& bridge, const InstallJob& job, InstallReporter& report) {
    try {
        if (!job.isTpk) {
            bridge.apkPath = job.packagePath;
            return InstallApkStep(bridge, job.toSdCard, report);
        }
        return InstallGamePackage(bridge, job, report);
    } catch (const std::exception& error) {
        // Out of memory or the like: the window must come back, not the process end.
        report.Box(NarrowText(text::kUnexpectedError) + error.what());
        return InstallOutcome::Failed;
    }
}

}  // namespace tarnel
