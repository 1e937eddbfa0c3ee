#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tarnel::sim {

// Every integer of the adb transport, the sync protocol and the shell framing is little-endian.
inline void AppendU32(std::string& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<char>((value >> shift) & 0xff));
    }
}

inline void AppendU64(std::string& out, uint64_t value) {
    AppendU32(out, static_cast<uint32_t>(value));
    AppendU32(out, static_cast<uint32_t>(value >> 32));
}

inline uint32_t ReadU32(std::string_view bytes, size_t offset = 0) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[offset + i]);
    }
    return value;
}

// Four ASCII letters read as a little-endian number, the way adb names its commands.
constexpr uint32_t FourCc(const char (&name)[5]) {
    return static_cast<uint32_t>(static_cast<unsigned char>(name[0])) |
           static_cast<uint32_t>(static_cast<unsigned char>(name[1])) << 8 |
           static_cast<uint32_t>(static_cast<unsigned char>(name[2])) << 16 |
           static_cast<uint32_t>(static_cast<unsigned char>(name[3])) << 24;
}

}  // namespace tarnel::sim
