#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stop_token>
#include <thread>

#include "bridge/device_bridge.h"
#include "client/core/device_monitor.h"
#include "client/core/phone_follower.h"

namespace tarnel {

class CtarnelDlg;

// Polls for a phone on its own thread, on its own copy of the bridge, for the life of the main
// window. It never touches a widget: each effect is queued onto the GUI thread in the monitor's
// order, and while the wizard that the GUI thread runs is open, polling waits for it to end.
class DeviceMonitorThread {
  public:
    static constexpr std::chrono::milliseconds kPollInterval{5000};

    DeviceMonitorThread(CtarnelDlg& window, std::chrono::milliseconds pollInterval);
    DeviceMonitorThread(const DeviceMonitorThread&) = delete;
    DeviceMonitorThread& operator=(const DeviceMonitorThread&) = delete;
    ~DeviceMonitorThread();

    // Copies the bridge as it is now (its tool paths found) and starts polling; GUI thread.
    // False when the thread could not be started.
    bool Start(const DeviceBridge& bridge);
    // Ends a running tool and the wait, and joins the thread; GUI thread. A wizard still open
    // must be ended by the window, which runs it.
    void Stop();

    // The ready phones of the last poll; any thread.
    std::vector<AttachedPhone> ReadyPhones() const;
    // The user's pick among them: the monitor follows it from now on; any thread.
    void FollowPhone(const std::string& serial);

  private:
    void Run(std::stop_token stop);
    // Queues the wizard onto the GUI thread and waits until it has ended or a stop is requested.
    void RunWizard(std::stop_token stop);
    void WizardEnded();

    CtarnelDlg& window_;
    const std::chrono::milliseconds pollInterval_;
    DeviceBridge bridge_{BridgeVariant::Client};
    DeviceMonitor monitor_;
    mutable std::mutex mutex_;
    PhoneFollower follower_;
    std::vector<AttachedPhone> readyPhones_;
    std::condition_variable_any wake_;
    bool wizardOpen_ = false;
    std::jthread thread_;
};

}  // namespace tarnel
