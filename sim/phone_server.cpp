#include "sim/phone_server.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "sim/service_router.h"

namespace tarnel::sim {

PhoneServer::PhoneServer(Phone& phone, ConnectionBehaviour behaviour)
    : phone_(phone), behaviour_(std::move(behaviour)) {}

void PhoneServer::Run(int listeningFd) {
    ServiceThreads connections;
    for (;;) {
        const int fd = accept4(listeningFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno != EINTR && errno != ECONNABORTED) {
                std::fprintf(stderr, "tarnel-phonesim: accept: %s\n", std::strerror(errno));
            }
            continue;
        }
        if (cablePulled_.load()) {
            close(fd);
            continue;
        }
        const int on = 1;
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        connections.Start([this, fd] {
            Connection connection(fd, behaviour_, MakeServiceOpener(phone_),
                                  [this] { cablePulled_.store(true); });
            connection.Serve();
        });
    }
}

}  // namespace tarnel::sim
