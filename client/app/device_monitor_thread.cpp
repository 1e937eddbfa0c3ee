#include "client/app/device_monitor_thread.h"

#include <QMetaObject>

#include <system_error>

#include "client/app/phone_no_conn_dlg.h"
#include "client/app/tarnel_dlg.h"
#include "platform/log.h"

namespace tarnel {

DeviceMonitorThread::DeviceMonitorThread(CtarnelDlg& window, std::chrono::milliseconds pollInterval)
    : window_(window), pollInterval_(pollInterval) {}

DeviceMonitorThread::~DeviceMonitorThread() {
    Stop();
}

bool DeviceMonitorThread::Start(const DeviceBridge& bridge) {
    if (thread_.joinable()) {
        return true;
    }
    bridge_ = bridge;
    try {
        thread_ = std::jthread([this](std::stop_token stop) { Run(stop); });
    } catch (const std::system_error& error) {
        LogLine(std::string("the device monitor could not be started: ") + error.what());
        return false;
    }
    return true;
}

void DeviceMonitorThread::Stop() {
    if (!thread_.joinable()) {
        return;
    }
    thread_.request_stop();
    thread_.join();
}

void DeviceMonitorThread::Run(std::stop_token stop) {
    // A stop ends a poll's adb run at once.
    bridge_.stopToken = stop;
    while (!stop.stop_requested()) {
        const bool attached = bridge_.IsDeviceConnected() == 1;
        if (stop.stop_requested()) {
            break;
        }
        switch (monitor_.Poll(attached, window_.NoPhonePage()->WizardOpenedHere())) {
            case MonitorEffect::RunWizard:
                RunWizard(stop);
                break;
            case MonitorEffect::ShowNoPhonePage:
                QMetaObject::invokeMethod(
                    &window_, [window = &window_] { window->ShowNoPhonePage(); },
                    Qt::QueuedConnection);
                break;
            case MonitorEffect::None:
                break;
        }
        std::unique_lock lock(mutex_);
        wake_.wait_for(lock, stop, pollInterval_, [] { return false; });
    }
}

void DeviceMonitorThread::RunWizard(std::stop_token stop) {
    {
        std::lock_guard lock(mutex_);
        wizardOpen_ = true;
    }
    QMetaObject::invokeMethod(
        &window_,
        [this] {
            window_.RunConnectionWizard();
            WizardEnded();
        },
        Qt::QueuedConnection);
    std::unique_lock lock(mutex_);
    wake_.wait(lock, stop, [this] { return !wizardOpen_; });
}

void DeviceMonitorThread::WizardEnded() {
    {
        std::lock_guard lock(mutex_);
        wizardOpen_ = false;
    }
    wake_.notify_all();
}

}  // namespace tarnel
