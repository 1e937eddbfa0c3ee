#pragma once

#include <atomic>
#include <functional>
#include <list>
#include <memory>
#include <thread>

namespace tarnel::sim {

// The threads running one connection's services. Finished ones are joined whenever a new one
// starts, so a long-lived connection does not collect dead threads.
class ServiceThreads {
  public:
    ServiceThreads() = default;
    ServiceThreads(const ServiceThreads&) = delete;
    ServiceThreads& operator=(const ServiceThreads&) = delete;
    ~ServiceThreads();

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
