#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "sim/cable_pace.h"
#include "sim/service_threads.h"
#include "sim/stream.h"

namespace tarnel::sim {

using ServiceBody = std::function<void(Stream&)>;
// The body for a service name ("shell:ls", "sync:" ...), or nothing to refuse it.
using ServiceOpener = std::function<std::optional<ServiceBody>(std::string_view service)>;

// How this phone behaves on the wire, faults included.
struct ConnectionBehaviour {
    std::string banner;
    bool refuseHandshake = false;  // asks for authentication and never accepts a key
    bool hang = false;             // completes the handshake, then never answers a command
    uint64_t dropAfterBytes = 0;   // stream bytes, either way, before the cable is "pulled"
    uint64_t hangAfterBytes = 0;   // stream bytes from the host, then silence on a live cable
    uint64_t throughput = 0;       // stream bytes a second, both ways together; 0: no limit
    bool verbose = false;          // every packet to stderr
};

// One TCP connection from an adb server: the handshake, then streams until either side leaves.
class Connection final : public MessageSink {
  public:
    Connection(int fd, ConnectionBehaviour behaviour, ServiceOpener opener,
               std::function<void()> onCablePulled);
    ~Connection() override;

    // Returns when the host has gone or the cable was pulled.
    void Serve();

    bool Send(const Message& message) override;

  private:
    bool Receive(Message& message);
    void Handle(const Message& message);
    void Answer(const Message& hostHello);
    void Open(const Message& message);
    std::shared_ptr<Stream> Find(uint32_t localId) const;
    bool CountStreamBytes(size_t size);
    void Log(const char* direction, const Message& message) const;

    const int fd_;
    const ConnectionBehaviour behaviour_;
    const ServiceOpener opener_;
    const std::function<void()> onCablePulled_;

    CablePace pace_;
    std::mutex sendMutex_;
    std::atomic<uint64_t> streamBytes_{0};
    std::atomic<bool> pulled_{false};
    std::atomic<uint64_t> receivedBytes_{0};
    std::atomic<bool> hung_{false};
    bool online_ = false;
    size_t maxPayload_ = kDeviceMaxPayload;
    uint32_t nextStreamId_ = 1;
    std::map<uint32_t, std::shared_ptr<Stream>> streams_;
    ServiceThreads services_;
};

}  // namespace tarnel::sim
