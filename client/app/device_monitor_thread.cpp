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
        std::vector<AttachedPhone> ready = tarnel::ReadyPhones(bridge_.ListPhones());
        if (stop.stop_requested()) {
            break;
        }
        const bool attached = !ready.empty();
        PhoneFollower::Step step;
        {
            std::lock_guard lock(mutex_);
            step = follower_.Poll(ready);
            readyPhones_ = std::move(ready);
        }
        MonitorEffect effect = monitor_.Poll(attached, window_.NoPhonePage()->WizardOpenedHere());
        // The shown phone went away while another stays: the other one is prepared and shown.
        if (step.switched && effect == MonitorEffect::None) {
            effect = MonitorEffect::RunWizard;
        }
        switch (effect) {
            case MonitorEffect::RunWizard:
                QMetaObject::invokeMethod(
                    &window_,
                    [window = &window_, serial = step.serial] {
                        window->Bridge()->serial = serial;
                    },
                    Qt::QueuedConnection);
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

std::vector<AttachedPhone> DeviceMonitorThread::ReadyPhones() const {
    std::lock_guard lock(mutex_);
    return readyPhones_;
}

void DeviceMonitorThread::FollowPhone(const std::string& serial) {
    std::lock_guard lock(mutex_);
    follower_.Choose(serial);
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
