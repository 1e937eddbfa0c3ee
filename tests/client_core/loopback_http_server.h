#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <thread>
#include <vector>

namespace tarnel::test {

// One scripted HTTP exchange on 127.0.0.1: accepts one connection, reads the request up to its
// blank line, sends the response bytes, then closes, or stays silent until the client closes.
// Or it refuses the connection (bound, not listening), or never accepts it (a full queue: the
// connect waits). Every wait is bounded, so a test never hangs on it.
class LoopbackHttpServer {
  public:
    enum class After { Close, StaySilent, Refuse, QueueFull };
    struct Script {
        std::string response;
        After after = After::Close;
    };

    // A 200 response carrying `body`, cut after `sent` bytes of it.
    static std::string Ok(const std::string& body, std::size_t sent = std::string::npos) {
        return "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" +
               body.substr(0, sent);
    }

    explicit LoopbackHttpServer(Script script) : script_(std::move(script)) {
        sockaddr_in address = Address(0);
        socklen_t size = sizeof address;
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), size);
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
        port_ = ntohs(address.sin_port);
        if (script_.after == After::Refuse) {
            return;
        }
        // A queue of length 0 holds one connection; the next ones are dropped.
        const bool full = script_.after == After::QueueFull;
        ::listen(listener_, full ? 0 : 1);
        for (int i = 0; full && i < 2; ++i) {
            queued_.push_back(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
            address = Address(port_);
            ::connect(queued_.back(), reinterpret_cast<const sockaddr*>(&address), size);
        }
        if (!full) {
            thread_ = std::thread([this] { Serve(); });
        }
    }
    ~LoopbackHttpServer() {
        // Wakes a wait for a client that never came.
        ::shutdown(listener_, SHUT_RDWR);
        Finish();
        for (int fd : queued_) {
            ::close(fd);
        }
        ::close(listener_);
    }

    int Port() const { return port_; }
    std::string Url() const {
        return "http://127.0.0.1:" + std::to_string(port_) + "/tnapi/Updater.ini";
    }
    // The request as received; waits for the exchange to end.
    const std::string& Request() {
        Finish();
        return request_;
    }

  private:
    static sockaddr_in Address(int port) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(static_cast<uint16_t>(port));
        return address;
    }

    static bool Readable(int fd) {
        pollfd entry{fd, POLLIN, 0};
        return ::poll(&entry, 1, 5000) > 0;
    }

    void Finish() {
        if (thread_.joinable()) {
            thread_.join();
        }
    }

    void Serve() {
        const int connection =
            Readable(listener_) ? ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC) : -1;
        if (connection < 0) {
            return;
        }
        char byte = 0;
        while (!request_.ends_with("\r\n\r\n") && request_.size() < 4096 && Readable(connection) &&
               ::recv(connection, &byte, 1, 0) == 1) {
            request_.push_back(byte);
        }
        ::send(connection, script_.response.data(), script_.response.size(), MSG_NOSIGNAL);
        while (script_.after == After::StaySilent && Readable(connection) &&
               ::recv(connection, &byte, 1, 0) > 0) {
        }
        ::close(connection);
    }

    Script script_;
    int listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int port_ = 0;
    std::vector<int> queued_;
    std::string request_;
    std::thread thread_;
};

}  // namespace tarnel::test
