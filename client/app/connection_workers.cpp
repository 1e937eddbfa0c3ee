#include "client/app/connection_workers.h"

#include <QMetaObject>

#include "platform/log.h"

namespace tarnel {
namespace {

class RecordingReporter : public PreparationReporter {
  public:
    explicit RecordingReporter(PreparationOutcome& outcome) : outcome_(outcome) {}
    void NoPhone(PhoneState state) override { outcome_.state = state; }
    void PhoneReady(const DeviceInfo& facts) override { outcome_.facts = facts; }

  private:
    PreparationOutcome& outcome_;
};

}  // namespace

ConnectionWorkers* ConnectionWorkers::Of(QObject* owner) {
    if (auto* workers = owner->findChild<ConnectionWorkers*>(QString(), Qt::FindDirectChildrenOnly))
        return workers;
    return new ConnectionWorkers(owner);
}

ConnectionWorkers::ConnectionWorkers(QObject* parent) : QObject(parent) {}

ConnectionWorkers::~ConnectionWorkers() {
    for (Worker& worker : workers_)
        worker.thread.request_stop();
    workers_.clear();  // joins
}

void ConnectionWorkers::Start(DeviceBridge bridge, PreparationSettings settings, Report report) {
    std::erase_if(workers_, [](const Worker& worker) { return worker.done->load(); });
    Worker& worker = workers_.emplace_back();
    auto shared = std::make_shared<Report>(std::move(report));
    worker.thread = std::jthread([this, bridge = std::move(bridge), settings = std::move(settings),
                                  shared, done = worker.done](std::stop_token stop) mutable {
        PreparationOutcome outcome;
        try {
            RecordingReporter reporter(outcome);
            outcome.result = PreparePhone(bridge, settings, reporter, stop);
        } catch (const std::exception& error) {
            LogLine(std::string("the phone's preparation failed: ") + error.what());
            outcome.result = PreparationResult::GaveUp;
        }
        if (!stop.stop_requested()) {
            QMetaObject::invokeMethod(
                this, [shared, outcome] { (*shared)(outcome); }, Qt::QueuedConnection);
        }
        done->store(true);
    });
}

int ConnectionWorkers::Running() const {
    int running = 0;
    for (const Worker& worker : workers_)
        running += worker.done->load() ? 0 : 1;
    return running;
}

}  // namespace tarnel
