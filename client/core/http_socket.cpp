#include "client/core/http_socket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <utility>

#include "client/core/http_header.h"

namespace tarnel {
namespace {

using Clock = std::chrono::steady_clock;

// Waits for events on fd until the deadline; false on time-out or a poll failure.
bool WaitFor(int fd, short events, Clock::time_point deadline) {
    while (true) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd entry{fd, events, 0};
        const int ready = ::poll(&entry, 1, static_cast<int>(std::max<long long>(0, left.count())));
        if (ready > 0)
            return true;
        if (ready == 0 || errno != EINTR)
            return false;
    }
}

// A connect that gives up after the limit instead of the kernel's two minutes.
bool ConnectWithin(int fd, const sockaddr_in& address, std::chrono::milliseconds limit) {
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) != 0)
        return false;
    bool ok = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    if (!ok && errno == EINPROGRESS && WaitFor(fd, POLLOUT, Clock::now() + limit)) {
        int error = 0;
        socklen_t size = sizeof error;
        ok = ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
    }
    return ::fcntl(fd, F_SETFL, flags) == 0 && ok;
}

}  // namespace

bool IsSocketMessage(std::string_view text) {
    using namespace socket_text;
    for (std::string_view known :
         {kSocket, kConnect, kSend, kClose, kSetOption, kServerClosed, kTimedOut}) {
        if (text == known)
            return true;
    }
    return false;
}

CHttpSocket::CHttpSocket(MessageSink showMessage, std::chrono::milliseconds limit)
    : showMessage_(std::move(showMessage)), limit_(limit) {}

CHttpSocket::~CHttpSocket() {
    CloseSocket();
}

const std::string& CHttpSocket::FormatRequest(const std::string& host, const std::string& path,
                                              int port) {
    request_ = "GET " + path + " HTTP/1.1\r\n";
    request_ += "Host:" + host + (port == 80 ? "" : ":" + std::to_string(port)) + "\r\n";
    request_ += "Accept:*/*\r\n";
    request_ += "User-Agent:Mozilla/4.0 (compatible; MSIE 5.00; Windows 98)\r\n";
    request_ += "Connection:Keep-Alive\r\n";
    request_ += "\r\n";
    return request_;
}

bool CHttpSocket::CreateSocket() {
    if (connected_)
        return false;
    // Close-on-exec: the updater started later must not inherit the connection.
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
    if (fd < 0) {
        showMessage_(socket_text::kSocket);
        return false;
    }
    if (socket_ >= 0)
        ::close(socket_);
    socket_ = fd;
    return true;
}

bool CHttpSocket::ConnectHost(const std::string& host, int port) {
    if (host.empty())
        return false;
    if (connected_)
        CloseSocket();
    // getaddrinfo, unlike gethostbyname, is safe beside the other threads.
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr)
        return false;
    const std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> owner(found, &::freeaddrinfo);
    sockaddr_in address = *reinterpret_cast<const sockaddr_in*>(found->ai_addr);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &address.sin_addr, text, sizeof text);
    addressText_ = text;
    if (socket_ < 0 || !ConnectWithin(socket_, address, limit_)) {
        showMessage_(socket_text::kConnect);
        return false;
    }
    connected_ = true;
    return true;
}

bool CHttpSocket::SendRequest() {
    if (!connected_)
        return false;
    std::size_t sent = 0;
    while (sent < request_.size()) {
        const ssize_t n =
            ::send(socket_, request_.data() + sent, request_.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            showMessage_(socket_text::kSend);
            return false;
        }
        sent += static_cast<std::size_t>(n);
    }
    ReceiveHeader();
    return true;
}

void CHttpSocket::ReceiveHeader() {
    if (headerReceived_)
        return;
    // One deadline for the whole header: a server trickling bytes cannot hold the thread either.
    const Clock::time_point deadline = Clock::now() + limit_;
    while (connected_) {
        char byte = 0;
        const long n = WaitFor(socket_, POLLIN, deadline) ? Receive(&byte, 1) : -1;
        if (n == 0) {
            CloseSocket();
        } else if (n < 0) {
            CloseSocket();
            showMessage_(socket_text::kTimedOut);
        } else if (AppendHeaderByte(header_, byte)) {
            break;
        }
    }
    headerReceived_ = true;
}

int CHttpSocket::GetContentLength(std::string& out) const {
    return tarnel::GetContentLength(header_, out);
}

bool CHttpSocket::SetReceiveTimeout() {
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(limit_);
    const timeval limit{
        .tv_sec = static_cast<time_t>(seconds.count()),
        .tv_usec = static_cast<suseconds_t>(
            std::chrono::duration_cast<std::chrono::microseconds>(limit_ - seconds).count())};
    if (::setsockopt(socket_, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit) != 0) {
        showMessage_(socket_text::kSetOption);
        return false;
    }
    return true;
}

long CHttpSocket::Receive(char* buffer, std::size_t size) {
    while (true) {
        const ssize_t n = ::recv(socket_, buffer, size, 0);
        if (n >= 0 || errno != EINTR)
            return n < 0 ? -1 : static_cast<long>(n);
    }
}

bool CHttpSocket::CloseSocket() {
    if (socket_ < 0)
        return true;
    // Linux frees the descriptor even when close reports an error: keeping it would close some
    // later descriptor a second time.
    const bool closed = ::close(std::exchange(socket_, -1)) == 0;
    connected_ = false;
    if (!closed)
        showMessage_(socket_text::kClose);
    return closed;
}

}  // namespace tarnel
