#include "sim/stream.h"

#include <algorithm>

namespace tarnel::sim {

namespace {

// Input held back before the host is asked to wait: a few of adb's 64 KiB sync chunks.
constexpr size_t kBufferedInputLimit = 1024 * 1024;

}  // namespace

Stream::Stream(uint32_t localId, uint32_t remoteId, size_t maxPayload, MessageSink& sink)
    : localId_(localId), remoteId_(remoteId), maxPayload_(maxPayload), sink_(sink) {}

bool Stream::ReadExactly(size_t size, std::string& out) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return input_.size() >= size || hostClosed_ || closedHere_; });
    if (input_.size() < size) {
        return false;
    }
    return TakeInput(size, out, lock);
}

bool Stream::ReadSome(size_t limit, std::string& out) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return !input_.empty() || hostClosed_ || closedHere_; });
    if (input_.empty()) {
        return false;
    }
    return TakeInput(std::min(limit, input_.size()), out, lock);
}

bool Stream::TakeInput(size_t size, std::string& out, std::unique_lock<std::mutex>& lock) {
    out.assign(input_, 0, size);
    input_.erase(0, size);
    AcknowledgeIfOwed(lock);
    return true;
}

void Stream::AcknowledgeIfOwed(std::unique_lock<std::mutex>& lock) {
    if (!acknowledgementOwed_ || input_.size() > kBufferedInputLimit || hostClosed_) {
        return;
    }
    acknowledgementOwed_ = false;
    lock.unlock();
    sink_.Send({kOkay, localId_, remoteId_, {}});
}

bool Stream::Write(std::string_view bytes) {
    while (!bytes.empty()) {
        const std::string_view chunk = bytes.substr(0, maxPayload_);
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [&] { return hostMayReceive_ || hostClosed_ || closedHere_; });
            if (hostClosed_ || closedHere_) {
                return false;
            }
            hostMayReceive_ = false;
        }
        if (!sink_.Send({kWrte, localId_, remoteId_, std::string(chunk)})) {
            HostClosed();
            return false;
        }
        bytes.remove_prefix(chunk.size());
    }
    return true;
}

void Stream::Close() {
    {
        std::lock_guard lock(mutex_);
        if (closedHere_) {
            return;
        }
        closedHere_ = true;
        changed_.notify_all();
        if (hostClosed_) {
            return;
        }
    }
    sink_.Send({kClse, localId_, remoteId_, {}});
}

void Stream::Deliver(std::string_view bytes) {
    std::unique_lock lock(mutex_);
    if (closedHere_) {
        // The service has ended; keep the host moving so it reaches its own close.
        lock.unlock();
        sink_.Send({kOkay, localId_, remoteId_, {}});
        return;
    }
    input_.append(bytes);
    acknowledgementOwed_ = true;
    changed_.notify_all();
    AcknowledgeIfOwed(lock);
}

void Stream::HostAcknowledged() {
    std::lock_guard lock(mutex_);
    hostMayReceive_ = true;
    changed_.notify_all();
}

void Stream::HostClosed() {
    std::lock_guard lock(mutex_);
    hostClosed_ = true;
    changed_.notify_all();
}

}  // namespace tarnel::sim
