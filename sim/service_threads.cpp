#include "sim/service_threads.h"

namespace tarnel::sim {

ServiceThreads::~ServiceThreads() {
    JoinAll();
}

void ServiceThreads::Start(std::function<void()> body) {
    JoinFinished();
    auto finished = std::make_shared<std::atomic<bool>>(false);
    std::thread thread([body = std::move(body), finished]() mutable {
        body();
        body = nullptr;
        finished->store(true);
    });
    running_.push_back({std::move(thread), std::move(finished)});
}

void ServiceThreads::JoinFinished() {
    for (auto it = running_.begin(); it != running_.end();) {
        if (it->finished->load()) {
            it->thread.join();
            it = running_.erase(it);
        } else {
            ++it;
        }
    }
}

void ServiceThreads::JoinAll() {
    for (Running& each : running_) {
        each.thread.join();
    }
    running_.clear();
}

}  // namespace tarnel::sim
