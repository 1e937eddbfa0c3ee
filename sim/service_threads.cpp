#include "sim/service_threads.h"

#include <cstdio>
#include <exception>

namespace tarnel::sim {

std::optional<std::string> FailureOf(const std::function<void()>& work) {
    try {
        work();
        return std::nullopt;
    } catch (const std::exception& error) {
        return std::string(error.what());
    } catch (...) {
        return std::string("unknown failure");
    }
}

void LogFailure(const std::string& failure) {
    std::fprintf(stderr, "tarnel-phonesim: %s\n", failure.c_str());
}

ServiceThreads::~ServiceThreads() {
    JoinAll();
}

void ServiceThreads::Start(std::function<void()> body) {
    JoinFinished();
    auto finished = std::make_shared<std::atomic<bool>>(false);
    std::thread thread([body = std::move(body), finished]() mutable {
        if (std::optional<std::string> failure = FailureOf(body)) {
            LogFailure(*failure);
        }
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
