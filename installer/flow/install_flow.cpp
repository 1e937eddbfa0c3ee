#include "installer/flow/install_flow.h"

#include <exception>
#include <filesystem>

#include "bridge/phone_choice.h"
#include "installer/flow/chosen_phone.h"
#include "installer/flow/install_messages.h"
#include "installer/flow/install_worker.h"
#include "installer/package/bundle_manifest.h"
#include "installer/package/package_info.h"
#include "platform/folders.h"
#include "platform/log.h"

namespace tarnel {
namespace {

std::string Extension(const std::string& path) {
    const std::string name = std::filesystem::path(path).filename().string();
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos)
        return {};
    std::string extension = name.substr(dot + 1);
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension;
}

void CopyFacts(const DeviceBridge& from, DeviceBridge& to) {
    to.apkPath = from.apkPath;
    to.packagePath = from.packagePath;
    to.appLabel = from.appLabel;
    to.packageName = from.packageName;
    to.versionName = from.versionName;
    to.androidVersion = from.androidVersion;
    to.sizeText = from.sizeText;
    to.permissionText = from.permissionText;
    to.iconPath = from.iconPath;
}

// Message boxes of the package operations, raised on a worker, shown by the view.
class PostingSink : public MessageSink {
  public:
    explicit PostingSink(std::function<void(std::function<void()>)> post, InstallerView& view)
        : post_(std::move(post)), view_(view) {}
    void ShowMessage(const std::string& text, const std::string& caption) override {
        post_([&view = view_, text, caption] { view.ShowMessage(text, caption); });
    }

  private:
    std::function<void(std::function<void()>)> post_;
    InstallerView& view_;
};

class PostingReporter : public InstallReporter {
  public:
    PostingReporter(std::function<void(std::function<void()>)> post, InstallerView& view)
        : post_(std::move(post)), view_(view) {}
    void Status(const std::string& text) override {
        post_([&view = view_, text] { view.SetStatus(text); });
    }
    void Progress(int percent) override {
        post_([&view = view_, percent] { view.SetProgress(percent); });
    }
    void Box(const std::string& text) override {
        post_([&view = view_, text] { view.ShowBox(text); });
    }

  private:
    std::function<void(std::function<void()>)> post_;
    InstallerView& view_;
};

}  // namespace

InstallFlow::InstallFlow(InstallerView& view, InstallerState& state) : view_(view), state_(state) {}

InstallFlow::~InstallFlow() {
    stop_.request_stop();
    workers_.clear();  // joins
    alive_.reset();
    // The icon copy is only for the window's eyes.
    std::error_code ignored;
    if (!state_.iconTempPath.empty())
        std::filesystem::remove(state_.iconTempPath, ignored);
}

void InstallFlow::Post(std::function<void()> effect) {
    view_.Post([alive = std::weak_ptr<int>(alive_), effect = std::move(effect)] {
        if (alive.lock())
            effect();
    });
}

void InstallFlow::StartWorker(std::function<void()> body) {
    // Finished workers are joined at once; only the running ones are kept.
    std::erase_if(workers_, [](const Worker& worker) { return worker.done->load(); });
    auto done = std::make_shared<std::atomic<bool>>(false);
    workers_.push_back({done, std::jthread([body = std::move(body), done] {
                            try {
                                body();
                            } catch (const std::exception& error) {
                                LogLine(std::string("worker ended by an error: ") + error.what());
                            } catch (...) {
                                LogLine("worker ended by an unknown error");
                            }
                            done->store(true);
                        })});
}

void InstallFlow::StartDeviceCheck() {
    DeviceBridge bridge = state_.bridge;
    bridge.stopToken = stop_.get_token();
    StartWorker([this, bridge, wanted = state_.wantedSerial]() mutable {
        const std::vector<AttachedPhone> phones = bridge.ListPhones();
        const PhoneChoice choice = tarnel::ChoosePhone(phones, wanted);
        const PhoneState state = BestPhoneState(phones);
        Post([this, choice, state] {
            using Outcome = PhoneChoice::Outcome;
            std::string_view word = text::kPhoneConnected;
            if (choice.outcome == Outcome::SeveralPhones)
                word = text::kSeveralPhonesToChoose;
            else if (choice.ready.empty())
                word = ConnectPhoneStatus(state);
            else if (choice.outcome == Outcome::NotAttached)
                word = text::kConnectPhone;
            state_.startUpPhoneText = word;
            state_.startUpPhoneReady = choice.outcome == Outcome::Chosen ? 1 : 0;
            // An installation started since has looked for the phone itself and said so.
            if (state_.busy == 0 && !state_.lastInstall)
                ShowOpeningStatus();
        });
    });
}

void InstallFlow::OpenPackage(const std::string& path) {
    if (state_.busy == 1) {
        // The running installation keeps its package; the user is told to wait for it.
        view_.ShowBox(NarrowText(text::kWaitForInstall));
        return;
    }
    state_.packageLoaded = 0;
    if (path.empty())
        return;
    state_.openedPath = path;
    state_.bundle.reset();
    const std::string extension = Extension(path);
    const bool isBundle = BundleKindOf(path).has_value();
    if (extension != "apk" && extension != "tpk" && !isBundle) {
        view_.ShowBox(NarrowText(text::kWrongFileType));
        return;
    }
    view_.EnableInstallButton(false);
    const bool isTpk = extension == "tpk";
    state_.isTpk = isTpk ? 1 : 0;
    state_.isBundle = isBundle ? 1 : 0;
    (isTpk || isBundle ? state_.bridge.packagePath : state_.bridge.apkPath) = path;

    DeviceBridge bridge = state_.bridge;
    bridge.stopToken = stop_.get_token();
    const unsigned generation = ++generation_;
    const std::string iconFolder = WorkTmpFolder().string();
    state_.loading = 1;
    packageNote_.clear();
    StartWorker([this, bridge, isTpk, isBundle, generation, iconFolder]() mutable {
        PostingSink sink([this](std::function<void()> e) { Post(std::move(e)); }, view_);
        LoadResult result = isTpk      ? LoadPackageFacts(std::move(bridge), iconFolder, sink)
                            : isBundle ? LoadBundleFacts(std::move(bridge), iconFolder, sink)
                                       : LoadApkFacts(std::move(bridge), iconFolder);
        Post([this, generation, isTpk, result = std::move(result)]() mutable {
            ApplyLoadResult(generation, isTpk, std::move(result));
        });
    });
    state_.packageLoaded = 1;
}

void InstallFlow::ApplyLoadResult(unsigned generation, bool isTpk, LoadResult result) {
    if (generation != generation_)
        return;
    state_.loading = 0;
    state_.loadSucceeded = result.loaded ? 1 : 0;
    state_.bundle = result.bundle;
    if (!result.loaded) {
        ShowOpeningStatus();
        view_.ShowBox(NarrowText(text::kBadPackage));
        if (!isTpk)
            CopyFacts(result.facts, state_.bridge);
    } else {
        CopyFacts(result.facts, state_.bridge);
        view_.EnablePermissionToggle(!isTpk);
        if (isTpk)
            StartPermissionWorker(generation, result.facts);
        // A package without an icon must not keep showing the previous package's.
        if (!state_.iconTempPath.empty() && state_.iconTempPath != result.iconPath) {
            std::error_code ignored;
            std::filesystem::remove(state_.iconTempPath, ignored);
        }
        state_.iconTempPath = result.iconPath;
        view_.ShowIcon(result.iconPath);
        packageNote_ = !isTpk && state_.bridge.appLabel.empty() ? NarrowText(text::kNoApkInfo)
                                                                : result.summary;
        ShowOpeningStatus();
    }
    view_.ShowFacts(state_.bridge);
    view_.EnableInstallButton(true);
}

// Until an installation speaks, the status line holds what is known of the phone and of the
// package, whichever was learnt first: a phone that is not ready is named first, a ready one gives
// way to the package's word.
void InstallFlow::ShowOpeningStatus() {
    std::string text = packageNote_;
    const std::string& phone = state_.startUpPhoneText;
    if (!phone.empty() && !state_.lastInstall && (text.empty() || !state_.startUpPhoneReady))
        text = NarrowText(text.empty() || phone.ends_with("。") ? phone : phone + "。") + text;
    // The last installation's outcome stays until there is something newer to say.
    if (text.empty() && !packageNoteShown_)
        return;
    view_.SetStatus(text);
    packageNoteShown_ = !packageNote_.empty();
}

void InstallFlow::StartPermissionWorker(unsigned generation, const DeviceBridge& facts) {
    DeviceBridge bridge = facts;
    bridge.stopToken = stop_.get_token();
    StartWorker([this, bridge, generation]() mutable {
        const int read = ReadPackagePermissions(bridge);
        std::error_code error;
        const std::string folder = WorkTmpFolder(error).string();
        Post([this, generation, read, folder, text = bridge.permissionText] {
            if (generation != generation_)
                return;
            if (read == kPermissionsApkDiffers)
                view_.ShowBox(NarrowText(kApkNameDiffersText));
            if (read == kPermissionsNoWorkFolder)
                view_.ShowBox(NarrowText(kCacheNotWritable) + folder);
            state_.bridge.permissionText = text;
            view_.ShowFacts(state_.bridge);
            view_.EnablePermissionToggle(true);
        });
    });
}

void InstallFlow::PressInstallButton() {
    if (state_.readyToInstall == 0) {
        if (!view_.AskQuestion(NarrowText(text::kReinstallQuestion),
                               NarrowText(text::kNoticeCaption))) {
            return;
        }
        view_.ShowInstallDone(false);
        state_.readyToInstall = 1;
    }
    StartInstall();
}

void InstallFlow::StartInstall() {
    if (state_.busy == 1) {
        view_.ShowBox(NarrowText(text::kWaitForInstall));
        return;
    }
    // From here the press counts as an installation: the phone check runs on a worker, as adb
    // can take its time to answer, and a second press is told to wait.
    state_.busy = 1;
    packageNoteShown_ = false;
    view_.EnableInstallButton(false);
    DeviceBridge bridge = state_.bridge;
    bridge.stopToken = stop_.get_token();
    StartWorker([this, bridge]() mutable {
        Post([this, phones = bridge.ListPhones()] { ContinueInstall(phones); });
    });
}

void InstallFlow::ContinueInstall(const std::vector<AttachedPhone>& phones) {
    const auto refuse = [this](InstallOutcome outcome) {
        state_.busy = 0;
        state_.lastInstall = outcome;
        if (state_.loading == 0)
            view_.EnableInstallButton(true);
    };
    PhoneChoice choice = tarnel::ChoosePhone(phones, state_.wantedSerial);
    if (choice.outcome == PhoneChoice::Outcome::NoPhone) {
        view_.SetStatus(NarrowText(ConnectPhoneStatus(BestPhoneState(phones))));
        view_.ShowBox(NarrowText(text::kPhoneNotConnected));
        return refuse(InstallOutcome::NoPhone);
    }
    if (choice.outcome == PhoneChoice::Outcome::NotAttached) {
        view_.SetStatus(NarrowText(text::kConnectPhone));
        view_.ShowBox(NarrowText(kPhoneNotAttached) + state_.wantedSerial);
        return refuse(InstallOutcome::NoPhone);
    }
    if (choice.outcome == PhoneChoice::Outcome::SeveralPhones) {
        const std::optional<std::string> chosen =
            view_.ChoosePhone(choice.ready, LastChosenPhone());
        if (!chosen)
            return refuse(InstallOutcome::SeveralPhones);
        RememberChosenPhone(*chosen);
        choice.serial = *chosen;
    }
    if (state_.packageLoaded == 0) {
        view_.ShowBox(NarrowText(text::kNothingLoaded));
        return refuse(InstallOutcome::Failed);
    }
    if (stop_.stop_requested())
        return refuse(InstallOutcome::Stopped);
    state_.readyToInstall = 1;

    DeviceBridge bridge = state_.bridge;
    bridge.serial = choice.serial;
    bridge.stopToken = stop_.get_token();
    const InstallJob job{state_.openedPath, state_.isTpk == 1, state_.isBundle == 1,
                         state_.installToSdCard == 1, state_.bundle};
    StartWorker([this, bridge, job]() mutable {
        PostingReporter reporter([this](std::function<void()> e) { Post(std::move(e)); }, view_);
        const InstallOutcome outcome = RunInstallJob(bridge, job, reporter);
        Post([this, outcome] { FinishInstall(outcome); });
    });
}

void InstallFlow::FinishInstall(InstallOutcome outcome) {
    state_.busy = 0;
    state_.lastInstall = outcome;
    view_.SetProgress(-1);
    view_.EnableInstallButton(true);
    if (outcome == InstallOutcome::Installed) {
        state_.readyToInstall = 0;
        view_.ShowInstallDone(true);
    }
}

void InstallFlow::Stop() {
    stop_.request_stop();
}

}  // namespace tarnel
