#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>
#include <thread>

namespace tarnel::sim {

// A cable of limited speed: stream bytes in both directions share one rate, as on USB 2.0,
// which carries one direction at a time. Zero bytes per second is a cable without a limit.
class CablePace {
  public:
    explicit CablePace(uint64_t bytesPerSecond) : rate_(bytesPerSecond) {}

    // Waits until size more bytes may have crossed the cable.
    void Carry(uint64_t size) {
        if (rate_ == 0) {
            return;
        }
        std::chrono::steady_clock::time_point due;
        {
            std::lock_guard lock(mutex_);
            const auto now = std::chrono::steady_clock::now();
            // An idle cable does not save up speed for later.
            if (busyUntil_ < now) {
                busyUntil_ = now;
            }
            busyUntil_ += std::chrono::nanoseconds(size * 1000000000ull / rate_);
            due = busyUntil_;
        }
        std::this_thread::sleep_until(due);
    }

  private:
    const uint64_t rate_;
    std::mutex mutex_;
    std::chrono::steady_clock::time_point busyUntil_{};
};

}  // namespace tarnel::sim
