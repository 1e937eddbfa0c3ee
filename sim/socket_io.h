#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tarnel::sim {

// False at end of stream or on an error.
bool ReadExactly(int fd, char* buffer, size_t size);
bool WriteAll(int fd, std::string_view bytes);

// A listening socket on 127.0.0.1 only (port 0: the kernel picks one), or -1 with the reason.
struct Listener {
    int fd = -1;
    uint16_t port = 0;
    std::string error;
};
Listener ListenOnLoopback(uint16_t port);

}  // namespace tarnel::sim
