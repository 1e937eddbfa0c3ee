#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include "bridge/phone_state.h"
#include "installer/flow/installer_state.h"
#include "installer/flow/installer_view.h"
#include "installer/flow/load_worker.h"

namespace tarnel {

// The installer from a package path to the end of an installation. Lives on the view's thread:
// every member is called there, and the workers it starts hand their effects back through
// InstallerView::Post, so nothing is shared between threads but copies.
class InstallFlow {
  public:
    // state.bridge holds the tool paths.
    InstallFlow(InstallerView& view, InstallerState& state);
    ~InstallFlow();  // stops the workers and waits for them
    InstallFlow(const InstallFlow&) = delete;
    InstallFlow& operator=(const InstallFlow&) = delete;

    // Looks for a phone once and says so in the status line.
    void StartDeviceCheck();
    // Accepts an .apk or .tpk and loads its facts; refused while an installation runs.
    void OpenPackage(const std::string& path);
    // The install button: asks before installing again after a success.
    void PressInstallButton();
    void StartInstall();
    // Ends the running installation as soon as its current step allows.
    void Stop();

  private:
    void Post(std::function<void()> effect);
    void StartWorker(std::function<void()> body);
    void ApplyLoadResult(unsigned generation, bool isTpk, LoadResult result);
    void ShowOpeningStatus();
    void StartPermissionWorker(unsigned generation, const DeviceBridge& facts);
    void ContinueInstall(const std::vector<AttachedPhone>& phones);
    void FinishInstall(InstallOutcome outcome);

    struct Worker {
        std::shared_ptr<std::atomic<bool>> done;
        std::jthread thread;
    };

    InstallerView& view_;
    InstallerState& state_;
    std::stop_source stop_;
    unsigned generation_ = 0;  // of the package last opened; older results are dropped
    std::string packageNote_;  // narrow: the loaded package's word for the status line
    bool packageNoteShown_ = false;
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
    std::vector<Worker> workers_;
};

}  // namespace tarnel
