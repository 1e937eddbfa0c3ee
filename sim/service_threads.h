#pragma once

#include <atomic>
#include <functional>
#include <list>
#include <memory>
#include <optional>
#include <string>
#include <thread>

namespace tarnel::sim {

// Runs work; what an exception it let out said, instead of letting it end the simulator.
std::optional<std::string> FailureOf(const std::function<void()>& work);

// Writes a failure to standard error, where the simulator's log goes.
void LogFailure(const std::string& failure);

// The threads running one connection's services. Finished ones are joined whenever a new one
// starts, so a long-lived connection does not collect dead threads.
class ServiceThreads {
  public:
    ServiceThreads() = default;
    ServiceThreads(const ServiceThreads&) = delete;
    ServiceThreads& operator=(const ServiceThreads&) = delete;
    ~ServiceThreads();

    // A body that throws is logged; the other threads carry on.
    void Start(std::function<void()> body);
    void JoinAll();

  private:
    struct Running {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> finished;
    };
    void JoinFinished();

    std::list<Running> running_;
};

}  // namespace tarnel::sim
