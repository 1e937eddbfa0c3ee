#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

namespace tarnel::test {

// One scripted HTTP exchange on 127.0.0.1: accepts one connection, reads the request up to its
// blank line, sends the response bytes, then closes, or stays silent until the client closes.
// Every wait is bounded, so a test never hangs on it.
class LoopbackHttpServer {
  public:
    struct Script {
        std::string response;
        bool silentAfter = false;
    };

    explicit LoopbackHttpServer(Script script) : script_(std::move(script)) {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), size);
        ::listen(listener_, 1);
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~LoopbackHttpServer() {
        // Wakes a wait for a client that never came.
        ::shutdown(listener_, SHUT_RDWR);
        Finish();
        ::close(listener_);
    }

    int Port() const { return port_; }
    std::string Url(const std::string& host = "127.0.0.1") const {
        return "http://" + host + ":" + std::to_string(port_) + "/tnapi/Updater.ini";
    }
    // The request as received; waits for the exchange to end.
    const std::string& Request() {
        Finish();
        return request_;
    }

    // A port on which nothing listens.
    static int UnusedPort() {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        ::bind(fd, reinterpret_cast<sockaddr*>(&address), size);
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
        ::close(fd);
        return ntohs(address.sin_port);
    }

  private:
    static constexpr int kWaitMs = 5000;

    void Finish() {
        if (thread_.joinable()) {
            thread_.join();
        }
    }

    static bool Readable(int fd) {
        pollfd entry{fd, POLLIN, 0};
        return ::poll(&entry, 1, kWaitMs) > 0;
    }

    void Serve() {
        if (port_ == 0 || !Readable(listener_)) {
            return;
        }
        const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0) {
            return;
        }
        char byte = 0;
        while (!request_.ends_with("\r\n\r\n") && request_.size() < 4096 && Readable(connection) &&
               ::recv(connection, &byte, 1, 0) == 1) {
            request_.push_back(byte);
        }
        ::send(connection, script_.response.data(), script_.response.size(), MSG_NOSIGNAL);
        // Silent: wait for the client to give up and close.
        while (script_.silentAfter && Readable(connection) && ::recv(connection, &byte, 1, 0) > 0) {
        }
        ::close(connection);
    }

    Script script_;
    int listener_ = -1;
    int port_ = 0;
    std::string request_;
    std::thread thread_;
};

}  // namespace tarnel::test
