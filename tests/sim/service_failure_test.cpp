// A service that throws: the host is told why and the phone goes on serving the same connection.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>
#include <thread>

#include "sim/connection.h"
#include "sim/socket_io.h"

namespace tarnel::sim {
namespace {

// The host's end: sends a packet, or reads packets until the stream closes, acknowledging data.
struct Host {
    int fd;

    void Send(const Message& message) const { ASSERT_TRUE(WriteAll(fd, EncodeMessage(message))); }

    Message Receive() const {
        char header[kHeaderSize];
        Message message;
        if (!ReadExactly(fd, header, sizeof header))
            return message;
        const std::optional<MessageHeader> decoded = DecodeHeader(header);
        if (!decoded)
            return message;
        message = {decoded->command, decoded->arg0, decoded->arg1,
                   std::string(decoded->payloadLength, '\0')};
        if (!ReadExactly(fd, message.payload.data(), message.payload.size()))
            message.command = 0;
        return message;
    }

    std::string Run(uint32_t localId, const std::string& service) const {
        Send({kOpen, localId, 0, service + '\0'});
        std::string said;
        for (Message message = Receive(); message.command != 0 && message.command != kClse;
             message = Receive()) {
            if (message.command == kWrte) {
                said += message.payload;
                Send({kOkay, localId, message.arg0, {}});
            }
        }
        return said;
    }
};

TEST(ServiceFailure, IsReportedOnTheStreamAndThePhoneKeepsServing) {
    int fds[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds), 0);
    const ServiceOpener opener = [](std::string_view service) -> std::optional<ServiceBody> {
        if (service == "shell:screencap -p") {
            return [](Stream&) { throw std::runtime_error("zlib could not compress the image"); };
        }
        return [](Stream& stream) { stream.Write("still here\n"); };
    };
    std::thread phone([&] { Connection(fds[0], {}, opener, [] {}).Serve(); });
    const Host host{fds[1]};
    host.Send({kCnxn, kProtocolVersion, kDeviceMaxPayload, "host::"});
    EXPECT_EQ(host.Receive().command, kCnxn);
    EXPECT_EQ(host.Run(1, "shell:screencap -p"),
              "tarnel-phonesim: zlib could not compress the image\n");
    EXPECT_EQ(host.Run(2, "shell:echo"), "still here\n");
    ::close(fds[1]);
    phone.join();
}

}  // namespace
}  // namespace tarnel::sim
