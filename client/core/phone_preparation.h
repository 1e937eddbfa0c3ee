#pragma once

#include <chrono>
#include <filesystem>
#include <stop_token>

#include "bridge/device_bridge.h"

namespace tarnel {

struct PreparationSettings {
    // The companion app shipped in the program folder; when it is missing the phone's facts are
    // read through adb's shell straight away.
    std::filesystem::path companionApk;
    // The pause before each read of the companion's facts file, and how many reads to try.
    std::chrono::milliseconds readPause{2000};
    int reads = 6;
};

// The program folder's tarnel.apk, two-second pauses, six reads.
PreparationSettings DefaultPreparationSettings();

// Where a preparation reports; called on the preparing thread.
class PreparationReporter {
  public:
    virtual ~PreparationReporter() = default;
    // No ready phone; state says whether one is there but waiting for the user or for udev rules.
    virtual void NoPhone(PhoneState state) = 0;
    virtual void PhoneReady(const DeviceInfo& facts) = 0;
};

enum class PreparationResult { NoPhone, Ready, GaveUp, Stopped };

// The connection wizard's work, on the caller's thread and on the given bridge (a worker's own
// copy): phone check; the companion installed (when missing or older than 2.2.0) and started;
// its facts read up to settings.reads times; the same facts through adb's shell when there is no
// companion APK or no facts appeared; a first screenshot into the work folder; then the report.
// Giving up reports nothing. A stop request ends the work between steps without a report.
PreparationResult PreparePhone(DeviceBridge& bridge, const PreparationSettings& settings,
                               PreparationReporter& reporter, std::stop_token stop = {});

}  // namespace tarnel
