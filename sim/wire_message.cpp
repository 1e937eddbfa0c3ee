#include "sim/wire_message.h"

#include <string_view>

namespace tarnel::sim {

std::string EncodeMessage(const Message& message) {
    std::string bytes;
    bytes.reserve(kHeaderSize + message.payload.size());
    AppendU32(bytes, message.command);
    AppendU32(bytes, message.arg0);
    AppendU32(bytes, message.arg1);
    AppendU32(bytes, static_cast<uint32_t>(message.payload.size()));
    AppendU32(bytes, 0);
    AppendU32(bytes, message.command ^ 0xffffffffu);
    bytes += message.payload;
    return bytes;
}

std::optional<MessageHeader> DecodeHeader(const char* bytes) {
    const std::string_view view(bytes, kHeaderSize);
    MessageHeader header{ReadU32(view, 0), ReadU32(view, 4), ReadU32(view, 8), ReadU32(view, 12)};
    if (ReadU32(view, 20) != (header.command ^ 0xffffffffu)) {
        return std::nullopt;
    }
    if (header.payloadLength > kLongestPayload) {
        return std::nullopt;
    }
    return header;
}

std::string CommandName(uint32_t command) {
    std::string name;
    for (int shift = 0; shift < 32; shift += 8) {
        const char letter = static_cast<char>((command >> shift) & 0xff);
        name.push_back(letter >= ' ' && letter <= '~' ? letter : '?');
    }
    return name;
}

}  // namespace tarnel::sim
