#include "sim/delayed_tasks.h"

#include "sim/service_threads.h"

namespace tarnel::sim {

DelayedTasks::DelayedTasks() : worker_([this] { Run(); }) {}

DelayedTasks::~DelayedTasks() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    worker_.join();
}

void DelayedTasks::After(std::chrono::milliseconds delay, std::function<void()> work) {
    {
        std::lock_guard lock(mutex_);
        due_.emplace(std::chrono::steady_clock::now() + delay, std::move(work));
    }
    changed_.notify_all();
}

void DelayedTasks::Run() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        if (due_.empty()) {
            changed_.wait(lock);
            continue;
        }
        const auto next = due_.begin()->first;
        if (std::chrono::steady_clock::now() < next) {
            changed_.wait_until(lock, next);
            continue;
        }
        std::function<void()> work = std::move(due_.begin()->second);
        due_.erase(due_.begin());
        lock.unlock();
        if (std::optional<std::string> failure = FailureOf(work)) {
            LogFailure(*failure);
        }
        lock.lock();
    }
}

}  // namespace tarnel::sim
