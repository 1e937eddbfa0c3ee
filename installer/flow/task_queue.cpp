#include "installer/flow/task_queue.h"

namespace tarnel {

void TaskQueue::Post(std::function<void()> task) {
    {
        std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
    }
    ready_.notify_one();
}

bool TaskQueue::RunFor(std::chrono::milliseconds timeout) {
    std::deque<std::function<void()>> batch;
    {
        std::unique_lock lock(mutex_);
        if (!ready_.wait_for(lock, timeout, [this] { return !tasks_.empty(); }))
            return false;
        batch.swap(tasks_);
    }
    for (auto& task : batch)
        task();
    return true;
}

}  // namespace tarnel
