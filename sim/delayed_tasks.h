#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <thread>

namespace tarnel::sim {

// Runs work later on one background thread, in order of due time: the phone's apps acting on
// their own after a command has returned.
class DelayedTasks {
  public:
    DelayedTasks();
    DelayedTasks(const DelayedTasks&) = delete;
    DelayedTasks& operator=(const DelayedTasks&) = delete;
    ~DelayedTasks();  // drops work not yet due

    void After(std::chrono::milliseconds delay, std::function<void()> work);

  private:
    void Run();

    std::mutex mutex_;
    std::condition_variable changed_;
    std::multimap<std::chrono::steady_clock::time_point, std::function<void()>> due_;
    bool stopping_ = false;
    std::thread worker_;
};

}  // namespace tarnel::sim
