#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

#include "sim/wire_message.h"

namespace tarnel::sim {

class MessageSink {
  public:
    virtual ~MessageSink() = default;
    // False once the connection is gone.
    virtual bool Send(const Message& message) = 0;
};

// One adb stream as its service sees it: a byte pipe in each direction. The transport allows one
// unacknowledged WRTE per direction; the host's next WRTE is acknowledged only when the service
// has drained enough, so a fast host cannot swamp a slow service.
class Stream {
  public:
    Stream(uint32_t localId, uint32_t remoteId, size_t maxPayload, MessageSink& sink);

    // Service side. Each returns false once the host closed the stream or the connection died.
    bool ReadExactly(size_t size, std::string& out);
    bool ReadSome(size_t limit, std::string& out);  // at least one byte
    bool Write(std::string_view bytes);
    void Close();  // idempotent; tells the host unless the host closed first

    // Connection side.
    void Deliver(std::string_view bytes);
    void HostAcknowledged();
    void HostClosed();

  private:
    bool TakeInput(size_t size, std::string& out, std::unique_lock<std::mutex>& lock);
    void AcknowledgeIfOwed(std::unique_lock<std::mutex>& lock);

    const uint32_t localId_;
    const uint32_t remoteId_;
    const size_t maxPayload_;
    MessageSink& sink_;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::string input_;
    bool acknowledgementOwed_ = false;
    bool hostMayReceive_ = true;
    bool hostClosed_ = false;
    bool closedHere_ = false;
};

}  // namespace tarnel::sim
