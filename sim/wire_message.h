#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "sim/little_endian.h"

namespace tarnel::sim {

inline constexpr uint32_t kCnxn = FourCc("CNXN");
inline constexpr uint32_t kAuth = FourCc("AUTH");
inline constexpr uint32_t kOpen = FourCc("OPEN");
inline constexpr uint32_t kOkay = FourCc("OKAY");
inline constexpr uint32_t kWrte = FourCc("WRTE");
inline constexpr uint32_t kClse = FourCc("CLSE");

// The version without checksums; adb 29 neither sends nor checks them once both sides speak it.
inline constexpr uint32_t kProtocolVersion = 0x01000001;
// Never 4096: adb's server asserts that a 4 KiB shell command fits in one packet.
inline constexpr uint32_t kDeviceMaxPayload = 256 * 1024;
// adb itself treats anything longer as a broken connection.
inline constexpr uint32_t kLongestPayload = 1024 * 1024;
inline constexpr size_t kHeaderSize = 24;

struct Message {
    uint32_t command = 0;
    uint32_t arg0 = 0;
    uint32_t arg1 = 0;
    std::string payload;
};

struct MessageHeader {
    uint32_t command = 0;
    uint32_t arg0 = 0;
    uint32_t arg1 = 0;
    uint32_t payloadLength = 0;
};

// Header (with a zero checksum) followed by the payload.
std::string EncodeMessage(const Message& message);

// Reads the 24 header bytes; nothing when the magic does not match or the payload is longer
// than any adb sends. The checksum is ignored: adb 29 sends zeros after the handshake.
std::optional<MessageHeader> DecodeHeader(const char* bytes);

// "CNXN", "OPEN" ...: for the packet log.
std::string CommandName(uint32_t command);

}  // namespace tarnel::sim
