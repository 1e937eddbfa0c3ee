#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "client/core/download_file.h"
#include "client/core/http_header.h"
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

using After = LoopbackHttpServer::After;

const std::string kClosed = "服务器已经关闭连接.";
const std::string kTimedOut = "接收数据超时.";
const std::string kNoConnection = "connect()函数执行失败!";

// How the server behaves, and what the client saved and said (at most one message).
struct DownloadCase {
    std::string name;
    std::string response;
    std::string file;
    std::string message;
    After after = After::Close;
};

void PrintTo(const DownloadCase& c, std::ostream* out) {
    *out << c.name;
}

class Download : public testing::TestWithParam<DownloadCase> {};

TEST_P(Download, SavesTheBodyAndReports) {
    const DownloadCase& c = GetParam();
    test::TestFolder folder;
    test::WriteFile(folder / "Updater.ini", "[MAINVER]\nmainver=9\n");
    LoopbackHttpServer server({c.response, c.after});
    std::vector<std::string> messages;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(DownloadFile(
        server.Url(), folder / "Updater.ini",
        [&](const std::string& text) { messages.push_back(text); }, kTestLimit));
    // Bounded: a silent server costs the limit, not the kernel's patience.
    EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
    EXPECT_EQ(test::ReadFile(folder / "Updater.ini"), c.file) << "nothing stale is left";
    EXPECT_EQ(messages,
              c.message.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.message});
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1)
        << "no temporary file left";
    if (c.name == "Body57") {
        EXPECT_EQ(
            server.Request(),
            "GET /tnapi/Updater.ini HTTP/1.1\r\nHost:127.0.0.1:" + std::to_string(server.Port()) +
                "\r\nAccept:*/*\r\n"
                "User-Agent:Mozilla/4.0 (compatible; MSIE 5.00; Windows 98)\r\n"
                "Connection:Keep-Alive\r\n\r\n");
    }
}

const std::string k57 = Header("57");

// clang-format off
INSTANTIATE_TEST_SUITE_P(Responses, Download, testing::Values(
    DownloadCase{"Body57", k57 + kBody57, kBody57, ""},
    DownloadCase{"ClosedAfter20Of57", k57 + kBody57.substr(0, 20), kBody57.substr(0, 20),
                 kClosed},
    DownloadCase{"SilentHeader", "", "", kTimedOut, After::StaySilent},
    DownloadCase{"SilentHalfHeader", "HTTP/1.1 200 OK\r\nContent-Le", "", kTimedOut,
                 After::StaySilent},
    DownloadCase{"SilentBody", k57 + kBody57.substr(0, 10), kBody57.substr(0, 10), kTimedOut,
                 After::StaySilent},
    DownloadCase{"NoContentLength", Header("") + kBody57, "", ""},
    DownloadCase{"NoHeader", "", "", ""},
    // The value is read 16 characters after the name's start, whatever the spacing.
    DownloadCase{"LengthWithoutSpace", "HTTP/1.1 200 OK\r\nContent-Length:57\r\n\r\n" + kBody57,
                 kBody57.substr(0, 7), ""},
    // A length past the limit waits for the limit's worth, not for an overflowed number.
    DownloadCase{"HugeLength", Header(std::string(29, '9')) + kBody57, kBody57, kClosed},
    DownloadCase{"NegativeLength", Header("-5") + kBody57, "", ""},
    DownloadCase{"ErrorPageIsTheBody",
                 "HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\n\r\nnot found", "not found", ""},
    DownloadCase{"MoreThanAnnounced", k57 + kBody57 + "trailing bytes", kBody57, ""},
    DownloadCase{"Oversized", Header("200000") + std::string(200000, 'v'),
                 std::string(kBodyLimit, 'v'), ""},
    DownloadCase{"HeaderWithoutEnd", std::string(1500, 'h'), "", ""},
    DownloadCase{"Refused", "", "", kNoConnection, After::Refuse},
    // A listener whose queue is full drops new connection requests: connect waits.
    DownloadCase{"QueueFull", "", "", kNoConnection, After::QueueFull}),
    [](const auto& info) { return info.param.name; });
// clang-format on

}  // namespace
}  // namespace tarnel
