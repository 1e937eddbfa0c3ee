#include "sim/connection.h"

#include <sys/socket.h>
#include <unistd.h>
#include <algorithm>
#include <cstdio>
#include <random>

#include "sim/socket_io.h"

namespace tarnel::sim {

namespace {

constexpr uint32_t kAuthToken = 1;
constexpr uint32_t kAuthSignature = 2;
constexpr size_t kAuthTokenSize = 20;

std::string RandomToken() {
    std::random_device source;
    std::string token;
    for (size_t i = 0; i < kAuthTokenSize; ++i) {
        token.push_back(static_cast<char>(source() & 0xff));
    }
    return token;
}

// Service names arrive NUL-terminated.
std::string_view ServiceName(const std::string& payload) {
    std::string_view name(payload);
    while (!name.empty() && name.back() == '\0') {
        name.remove_suffix(1);
    }
    return name;
}

}  // namespace

Connection::Connection(int fd, ConnectionBehaviour behaviour, ServiceOpener opener,
                       std::function<void()> onCablePulled)
    : fd_(fd),
      behaviour_(std::move(behaviour)),
      opener_(std::move(opener)),
      onCablePulled_(std::move(onCablePulled)),
      pace_(behaviour_.throughput) {}

Connection::~Connection() {
    services_.JoinAll();
    close(fd_);
}

void Connection::Serve() {
    Message message;
    while (Receive(message)) {
        Handle(message);
    }
    shutdown(fd_, SHUT_RDWR);
    for (auto& [id, stream] : streams_) {
        stream->HostClosed();
    }
    services_.JoinAll();
    streams_.clear();
}

bool Connection::Receive(Message& message) {
    char header[kHeaderSize];
    if (!ReadExactly(fd_, header, sizeof header)) {
        return false;
    }
    const std::optional<MessageHeader> decoded = DecodeHeader(header);
    if (!decoded) {
        std::fprintf(stderr, "tarnel-phonesim: malformed packet from the host; disconnecting\n");
        return false;
    }
    message.command = decoded->command;
    message.arg0 = decoded->arg0;
    message.arg1 = decoded->arg1;
    message.payload.resize(decoded->payloadLength);
    if (!ReadExactly(fd_, message.payload.data(), message.payload.size())) {
        return false;
    }
    Log("<-", message);
    if (message.command == kWrte) {
        pace_.Carry(message.payload.size());
    }
    if (message.command == kWrte && behaviour_.hangAfterBytes != 0 &&
        receivedBytes_.fetch_add(message.payload.size()) + message.payload.size() >
            behaviour_.hangAfterBytes) {
        hung_ = true;
    }
    return message.command != kWrte || CountStreamBytes(message.payload.size());
}

void Connection::Handle(const Message& message) {
    // A hung phone still takes the bytes off the cable but never acts on them.
    if (hung_) {
        return;
    }
    switch (message.command) {
        case kCnxn:
            Answer(message);
            break;
        case kAuth:
            // Refuse every signature; a public key would wait for the user's tap for ever.
            if (behaviour_.refuseHandshake && message.arg0 == kAuthSignature) {
                Send({kAuth, kAuthToken, 0, RandomToken()});
            }
            break;
        case kOpen:
            Open(message);
            break;
        case kWrte:
            if (auto stream = Find(message.arg1)) {
                stream->Deliver(message.payload);
            }
            break;
        case kOkay:
            if (auto stream = Find(message.arg1)) {
                stream->HostAcknowledged();
            }
            break;
        case kClse:
            if (auto stream = Find(message.arg1)) {
                stream->HostClosed();
                streams_.erase(message.arg1);
            }
            break;
        default:
            break;
    }
}

void Connection::Answer(const Message& hostHello) {
    if (behaviour_.refuseHandshake) {
        Send({kAuth, kAuthToken, 0, RandomToken()});
        return;
    }
    maxPayload_ = std::clamp<size_t>(hostHello.arg1, 4096, kDeviceMaxPayload);
    online_ = true;
    Send({kCnxn, kProtocolVersion, kDeviceMaxPayload, behaviour_.banner});
}

void Connection::Open(const Message& message) {
    if (!online_ || behaviour_.hang) {
        return;
    }
    std::optional<ServiceBody> body = opener_(ServiceName(message.payload));
    if (!body) {
        Send({kClse, 0, message.arg0, {}});
        return;
    }
    const uint32_t id = nextStreamId_++;
    auto stream = std::make_shared<Stream>(id, message.arg0, maxPayload_, *this);
    streams_[id] = stream;
    Send({kOkay, id, message.arg0, {}});
    services_.Start([stream, body = std::move(*body)] {
        // The host is told why its command broke off, and the phone keeps serving.
        if (std::optional<std::string> failure = FailureOf([&] { body(*stream); })) {
            LogFailure(*failure);
            stream->Write("tarnel-phonesim: " + *failure + "\n");
        }
        stream->Close();
    });
}

std::shared_ptr<Stream> Connection::Find(uint32_t localId) const {
    const auto it = streams_.find(localId);
    return it == streams_.end() ? nullptr : it->second;
}

bool Connection::Send(const Message& message) {
    if (message.command == kWrte && !CountStreamBytes(message.payload.size())) {
        return false;
    }
    if (pulled_.load()) {
        return false;
    }
    if (hung_) {
        return true;
    }
    Log("->", message);
    if (message.command == kWrte) {
        pace_.Carry(message.payload.size());
    }
    std::lock_guard lock(sendMutex_);
    return WriteAll(fd_, EncodeMessage(message));
}

bool Connection::CountStreamBytes(size_t size) {
    if (behaviour_.dropAfterBytes == 0) {
        return true;
    }
    const uint64_t total = streamBytes_.fetch_add(size) + size;
    if (total <= behaviour_.dropAfterBytes) {
        return true;
    }
    if (!pulled_.exchange(true)) {
        shutdown(fd_, SHUT_RDWR);
        onCablePulled_();
    }
    return false;
}

void Connection::Log(const char* direction, const Message& message) const {
    if (!behaviour_.verbose) {
        return;
    }
    std::string detail;
    if (message.command == kOpen) {
        detail = " \"" + std::string(ServiceName(message.payload)) + "\"";
    }
    std::fprintf(stderr, "%s %s %u %u len=%zu%s\n", direction, CommandName(message.command).c_str(),
                 message.arg0, message.arg1, message.payload.size(), detail.c_str());
}

}  // namespace tarnel::sim
