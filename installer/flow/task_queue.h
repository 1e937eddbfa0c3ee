#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

namespace tarnel {

// Effects posted from any thread, run in order on the thread that drains the queue: the event
// loop of a view without a window toolkit.
class TaskQueue {
  public:
    void Post(std::function<void()> task);

    // Runs the tasks that are waiting, or waits up to timeout for one; gives whether any ran.
    bool RunFor(std::chrono::milliseconds timeout);

  private:
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<std::function<void()>> tasks_;
};

}  // namespace tarnel
