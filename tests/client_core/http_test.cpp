#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "client/core/download_file.h"
#include "client/core/http_header.h"
#include "client/core/http_socket.h"
#include "client/core/http_url.h"
#include "tests/client_core/loopback_http_server.h"
#include "tests/package/test_folder.h"

namespace tarnel {
namespace {

using namespace std::chrono_literals;
using test::LoopbackHttpServer;

constexpr auto kTestLimit = 300ms;

std::string Header(const std::string& contentLength) {
    std::string header = "HTTP/1.1 200 OK\r\nServer: test\r\n";
    if (!contentLength.empty())
        header += "Content-Length: " + contentLength + "\r\n";
    return header + "Content-Type: text/plain\r\n\r\n";
}

// 57 bytes: a version file as the vendor serves it.
const std::string kBody57 = "[MAINVER]\r\nmainver=1.01\r\n[URL]\r\nurl=http://a.example/up\r\n";

TEST(FormatRequest, SixLinesByteForByte) {
    ASSERT_EQ(kBody57.size(), 57u);
    CHttpSocket http(nullptr);
    EXPECT_EQ(http.FormatRequest("www.tarnel.com", "/tnapi/Updater.ini"),
              "GET /tnapi/Updater.ini HTTP/1.1\r\n"
              "Host:www.tarnel.com\r\n"
              "Accept:*/*\r\n"
              "User-Agent:Mozilla/4.0 (compatible; MSIE 5.00; Windows 98)\r\n"
              "Connection:Keep-Alive\r\n"
              "\r\n");
    EXPECT_EQ(http.FormatRequest("h", "/", 8080).substr(0, 29),
              "GET / HTTP/1.1\r\nHost:h:8080\r\n");
}

TEST(SplitHttpUrl, HostPathAndPort) {
    struct Case {
        std::string url, host, path;
        int port;
    };
    const std::vector<Case> cases = {
        {"http://www.tarnel.com/tnapi/Updater.ini", "www.tarnel.com", "/tnapi/Updater.ini", 80},
        {"HTTP://h:8080/a?b=1#frag", "h", "/a?b=1", 8080},
        {"http://h:/x", "h", "/x", 80},
        {"http://h:99999/x", "", "", 80},
        {"https://h/x", "", "", 80},
    };
    for (const Case& c : cases) {
        const HttpUrl url = SplitHttpUrl(c.url);
        EXPECT_EQ(url.host, c.host) << c.url;
        EXPECT_EQ(url.path, c.path) << c.url;
        EXPECT_EQ(url.port, c.port) << c.url;
    }
}

TEST(ContentLength, ValueAndBodyLength) {
    struct Case {
        std::string header;
        int textLength;
        std::string text;
        std::size_t body;
    };
    const std::vector<Case> cases = {
        {Header("57"), 2, "57", 57},
        {Header(""), -1, "unchanged", 0},
        {"HTTP/1.1 200 OK\r\ncontent-length: 57\r\n\r\n", -1, "unchanged", 0},
        // The value always starts 16 characters after the name, whatever the spacing.
        {"Content-Length:57\r\n\r\n", 1, "7", 7},
        {"Content-Length:  57x\r\n", 4, " 57x", 57},
        {"Content-Length: -5\r\n", 2, "-5", 0},
        {"Content-Length: 99999999999999999999999999999\r\n", 29, "99999999999999999999999999999",
         kBodyLimit},
        {"Content-Length: 12", 2, "12", 12},
        {"Content-Length", 0, "", 0},
        {std::string("X\0Content-Length: 5\r\n", 21), -1, "unchanged", 0},
    };
    for (const Case& c : cases) {
        std::string text = "unchanged";
        EXPECT_EQ(GetContentLength(c.header, text), c.textLength) << c.header;
        EXPECT_EQ(text, c.text) << c.header;
        EXPECT_EQ(BodyLength(c.header), c.body) << c.header;
    }
}

TEST(HttpSocket, SendsTheRequestToTheUrlsPortAndLeavesTheBodyOnTheSocket) {
    LoopbackHttpServer server({Header("57") + kBody57});
    CHttpSocket http([](const std::string& text) { ADD_FAILURE() << text; }, kTestLimit);
    http.FormatRequest("localhost", "/tnapi/Updater.ini", server.Port());
    ASSERT_TRUE(http.CreateSocket());
    ASSERT_TRUE(http.ConnectHost("localhost", server.Port()));
    EXPECT_EQ(http.AddressText(), "127.0.0.1");
    ASSERT_TRUE(http.SendRequest());
    EXPECT_EQ(server.Request(),
              "GET /tnapi/Updater.ini HTTP/1.1\r\nHost:localhost:" + std::to_string(server.Port()) +
                  "\r\nAccept:*/*\r\n"
                  "User-Agent:Mozilla/4.0 (compatible; MSIE 5.00; Windows 98)\r\n"
                  "Connection:Keep-Alive\r\n\r\n");
    EXPECT_EQ(http.Header(), Header("57"));
    char first = 0;
    EXPECT_EQ(http.Receive(&first, 1), 1);
    EXPECT_EQ(first, '[');
}

struct DownloadCase {
    std::string name;
    std::string response;
    bool silentAfter;
    std::string file;
    std::vector<std::string> messages;
};

class Download : public testing::TestWithParam<DownloadCase> {};

TEST_P(Download, SavesTheBodyAndReports) {
    const DownloadCase& c = GetParam();
    test::TestFolder folder;
    LoopbackHttpServer server({c.response, c.silentAfter});
    std::vector<std::string> messages;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(DownloadFile(
        server.Url(), folder / "Updater.ini",
        [&](const std::string& text) { messages.push_back(text); }, kTestLimit));
    // Bounded: a silent server costs the limit, not the kernel's patience.
    EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
    EXPECT_EQ(test::ReadFile(folder / "Updater.ini"), c.file);
    EXPECT_EQ(messages, c.messages);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1)
        << "no temporary file left";
}

const std::string kClosed = "服务器已经关闭连接.";
const std::string kTimedOut = "接收数据超时.";

INSTANTIATE_TEST_SUITE_P(
    Responses, Download,
    testing::Values(
        DownloadCase{"Body57", Header("57") + kBody57, false, kBody57, {}},
        DownloadCase{"ClosedAfter20Of57",
                     Header("57") + kBody57.substr(0, 20),
                     false,
                     kBody57.substr(0, 20),
                     {kClosed}},
        DownloadCase{"SilentHeader", "", true, "", {kTimedOut}},
        DownloadCase{"SilentHalfHeader", "HTTP/1.1 200 OK\r\nContent-Le", true, "", {kTimedOut}},
        DownloadCase{"SilentBody",
                     Header("57") + kBody57.substr(0, 10),
                     true,
                     kBody57.substr(0, 10),
                     {kTimedOut}},
        DownloadCase{"NoContentLength", Header("") + kBody57, false, "", {}},
        DownloadCase{"NoHeader", "", false, "", {}},
        DownloadCase{"ErrorPageIsTheBody",
                     "HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\n\r\nnot found",
                     false,
                     "not found",
                     {}},
        DownloadCase{
            "MoreThanAnnounced", Header("57") + kBody57 + "trailing bytes", false, kBody57, {}},
        DownloadCase{"Oversized",
                     Header("200000") + std::string(200000, 'v'),
                     false,
                     std::string(kBodyLimit, 'v'),
                     {}},
        DownloadCase{"HeaderWithoutEnd", std::string(1500, 'h'), false, "", {}}),
    [](const auto& info) { return info.param.name; });

TEST(DownloadFile, RefusedConnectionGivesAnEmptyFile) {
    test::TestFolder folder;
    test::WriteFile(folder / "Updater.ini", "[MAINVER]\nmainver=9\n");
    std::vector<std::string> messages;
    const std::string url =
        "http://127.0.0.1:" + std::to_string(LoopbackHttpServer::UnusedPort()) + "/x";
    EXPECT_TRUE(DownloadFile(
        url, folder / "Updater.ini", [&](const std::string& text) { messages.push_back(text); },
        kTestLimit));
    EXPECT_EQ(messages, std::vector<std::string>{"connect()函数执行失败!"});
    EXPECT_EQ(test::ReadFile(folder / "Updater.ini"), "") << "the stale file is gone";
}

// A listener whose queue is full drops new connection requests: connect waits, within the limit.
TEST(DownloadFile, ConnectIsGivenUpOnWithinTheLimit) {
    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{.sin_family = AF_INET, .sin_addr = {htonl(INADDR_LOOPBACK)}};
    socklen_t size = sizeof address;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), size), 0);
    ASSERT_EQ(::listen(listener, 0), 0);
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size);
    std::vector<int> queued;
    for (int i = 0; i < 2; ++i) {
        queued.push_back(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
        ::connect(queued.back(), reinterpret_cast<sockaddr*>(&address), size);
    }
    test::TestFolder folder;
    std::vector<std::string> messages;
    const auto start = std::chrono::steady_clock::now();
    DownloadFile(
        "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/", folder / "Updater.ini",
        [&](const std::string& text) { messages.push_back(text); }, kTestLimit);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
    EXPECT_EQ(messages, std::vector<std::string>{"connect()函数执行失败!"});
    for (int fd : queued)
        ::close(fd);
    ::close(listener);
}

}  // namespace
}  // namespace tarnel
