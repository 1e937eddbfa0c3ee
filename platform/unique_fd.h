#pragma once

#include <unistd.h>

#include <utility>

namespace tarnel {

// The one owner of an open file descriptor: closed when the owner goes, unless Close() has
// already closed it and said whether that worked (a written file reports late write errors
// there).
class unique_fd {
  public:
    unique_fd() = default;
    explicit unique_fd(int fd) : fd_(fd) {}
    unique_fd(unique_fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    unique_fd& operator=(unique_fd&& other) noexcept {
        if (this != &other) {
            Reset(std::exchange(other.fd_, -1));
        }
        return *this;
    }
    unique_fd(const unique_fd&) = delete;
    unique_fd& operator=(const unique_fd&) = delete;
    ~unique_fd() { Reset(); }

    int Get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }

    // Hands the descriptor to a caller that closes it itself.
    int Release() { return std::exchange(fd_, -1); }

    void Reset(int fd = -1) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = fd;
    }

    // False when the descriptor was not open or closing it failed.
    bool Close() {
        if (fd_ < 0) {
            return false;
        }
        return ::close(std::exchange(fd_, -1)) == 0;
    }

  private:
    int fd_ = -1;
};

}  // namespace tarnel
