#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace tarnel {

// The socket layer's message texts; their boxes are captioned "错误".
namespace socket_text {
inline constexpr char kSocket[] = "socket()函数执行失败!";
inline constexpr char kConnect[] = "connect()函数执行失败!";
inline constexpr char kSend[] = "send()函数执行失败!";
inline constexpr char kClose[] = "closesocket()函数执行失败!";
inline constexpr char kSetOption[] = "setsockopt()函数执行失败!";
inline constexpr char kServerClosed[] = "服务器已经关闭连接.";
inline constexpr char kTimedOut[] = "接收数据超时.";
}  // namespace socket_text

bool IsSocketMessage(std::string_view text);

// Every wait on the server (connect, the header, each body receive) ends after this.
constexpr std::chrono::milliseconds kReceiveLimit{10000};

// Shows one message box text; called on the thread that meets the fault.
using MessageSink = std::function<void(const std::string& text)>;

// A minimal HTTP/1.1 client for one GET: the request, the header read byte by byte (so the body's
// first byte stays on the socket), then the body read by the caller. One object, one download.
class CHttpSocket {
  public:
    explicit CHttpSocket(MessageSink showMessage, std::chrono::milliseconds limit = kReceiveLimit);
    virtual ~CHttpSocket();
    CHttpSocket(const CHttpSocket&) = delete;
    CHttpSocket& operator=(const CHttpSocket&) = delete;

    // The six request lines; the Host line names the port when it is not 80.
    const std::string& FormatRequest(const std::string& host, const std::string& path,
                                     int port = 80);
    // An IPv4 TCP socket; false (with a message) when none can be made, or when already connected.
    bool CreateSocket();
    // Resolves the host (IPv4) and connects within the limit. An unknown host is false with no
    // message; a refused or timed-out connect shows one.
    bool ConnectHost(const std::string& host, int port = 80);
    // Sends the request in one piece, then reads the header.
    bool SendRequest();
    // Reads the header once per object, within the limit as a whole.
    void ReceiveHeader();
    int GetContentLength(std::string& out) const;
    // Sets the per-receive time-out for the body; false (with a message) when it cannot be set.
    bool SetReceiveTimeout();
    // One receive of up to size bytes: the count, 0 when the server has closed, -1 on an error or
    // the time-out.
    long Receive(char* buffer, std::size_t size);
    bool CloseSocket();

    bool Connected() const { return connected_; }
    bool HeaderReceived() const { return headerReceived_; }
    const std::string& Header() const { return header_; }
    const std::string& AddressText() const { return addressText_; }

  private:
    MessageSink showMessage_;
    std::chrono::milliseconds limit_;
    std::string request_;
    std::string header_;
    std::string addressText_;
    bool connected_ = false;
    int socket_ = -1;
    bool headerReceived_ = false;
};

}  // namespace tarnel
