#include "client/core/phone_preparation.h"

#include <condition_variable>
#include <mutex>

#include "platform/folders.h"
#include "platform/log.h"

namespace tarnel {
namespace {

// Waits for the pause or a stop request; false when stopped.
bool Pause(std::chrono::milliseconds pause, std::stop_token stop) {
    std::mutex mutex;
    std::condition_variable_any woken;
    std::unique_lock lock(mutex);
    woken.wait_for(lock, stop, pause, [] { return false; });
    return !stop.stop_requested();
}

bool CompanionFactsArrived(DeviceBridge& bridge, const PreparationSettings& settings,
                           std::stop_token stop) {
    bridge.IsCompanionInstalled();
    if (bridge.companionInstalled == 0 || !bridge.IsCompanionCurrent()) {
        bridge.apkPath = settings.companionApk.string();
        if (bridge.InstallCompanionApk() != 0)
            LogLine("the companion app did not install");
    }
    if (stop.stop_requested())
        return false;
    bridge.StartCompanion();
    for (int read = 0; read < settings.reads; ++read) {
        if (!Pause(settings.readPause, stop))
            return false;
        if (bridge.ReadDeviceInfo() == 1)
            return true;
    }
    return false;
}

}  // namespace

PreparationSettings DefaultPreparationSettings() {
    PreparationSettings settings;
    settings.companionApk = ProgramFolder() / "tarnel.apk";
    return settings;
}

PreparationResult PreparePhone(DeviceBridge& bridge, const PreparationSettings& settings,
                               PreparationReporter& reporter, std::stop_token stop) {
    bridge.stopToken = stop;
    if (bridge.IsDeviceConnected() == 0) {
        if (stop.stop_requested())
            return PreparationResult::Stopped;
        reporter.NoPhone(bridge.QueryPhoneState());
        return PreparationResult::NoPhone;
    }
    std::error_code error;
    const bool haveCompanion = std::filesystem::is_regular_file(settings.companionApk, error);
    if (!haveCompanion || !CompanionFactsArrived(bridge, settings, stop)) {
        if (stop.stop_requested())
            return PreparationResult::Stopped;
        if (bridge.ReadDirectFacts() == 0)
            return stop.stop_requested() ? PreparationResult::Stopped : PreparationResult::GaveUp;
    }
    if (stop.stop_requested())
        return PreparationResult::Stopped;
    bridge.TakeScreenshot();
    if (stop.stop_requested())
        return PreparationResult::Stopped;
    reporter.PhoneReady(bridge.deviceInfo);
    return PreparationResult::Ready;
}

}  // namespace tarnel
