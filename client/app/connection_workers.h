#pragma once

#include <QObject>

#include <functional>
#include <list>
#include <memory>
#include <thread>

#include "bridge/device_bridge.h"
#include "client/core/phone_preparation.h"

namespace tarnel {

// How one preparation ended, handed back to the GUI thread as a value.
struct PreparationOutcome {
    PreparationResult result = PreparationResult::GaveUp;
    PhoneState state = PhoneState::Absent;
    DeviceInfo facts;
};

// The wizards' workers. A worker outlives the wizard that started it (closing the wizard early
// does not stop the phone's preparation), so the workers belong to a longer-lived object, the
// main window: when it goes, running workers are stopped and joined before anything they report
// to is gone. GUI thread only.
class ConnectionWorkers : public QObject {
    Q_OBJECT

  public:
    using Report = std::function<void(const PreparationOutcome&)>;

    // The owner's workers, made as its child on first use.
    static ConnectionWorkers* Of(QObject* owner);

    explicit ConnectionWorkers(QObject* parent);
    ~ConnectionWorkers() override;

    // Prepares the phone on a thread of its own with this copy of the bridge; report then runs
    // on the GUI thread (unless the workers were stopped first).
    void Start(DeviceBridge bridge, PreparationSettings settings, Report report);

    int Running() const;

  private:
    struct Worker {
        std::shared_ptr<std::atomic<bool>> done = std::make_shared<std::atomic<bool>>(false);
        std::jthread thread;
    };
    std::list<Worker> workers_;
};

}  // namespace tarnel
