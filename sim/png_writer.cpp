#include "sim/png_writer.h"

#include <zlib.h>
#include <stdexcept>
#include <string_view>

namespace tarnel::sim {

namespace {

void AppendBigEndian(std::string& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<char>((value >> shift) & 0xff));
    }
}

void AppendChunk(std::string& png, std::string_view type, std::string_view data) {
    AppendBigEndian(png, static_cast<uint32_t>(data.size()));
    const size_t typeAt = png.size();
    png.append(type);
    png.append(data);
    const auto* checked = reinterpret_cast<const Bytef*>(png.data() + typeAt);
    AppendBigEndian(png, static_cast<uint32_t>(
                             crc32(0, checked, static_cast<uInt>(type.size() + data.size()))));
}

}  // namespace

std::string EncodePng(const RgbImage& image) {
    const size_t rowBytes = static_cast<size_t>(image.width) * 3;
    std::string raw;
    raw.reserve((rowBytes + 1) * static_cast<size_t>(image.height));
    for (int y = 0; y < image.height; ++y) {
        raw.push_back('\0');  // filter type None
        raw.append(reinterpret_cast<const char*>(image.pixels.data()) + y * rowBytes, rowBytes);
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::string packed(packedSize, '\0');
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize,
                  reinterpret_cast<const Bytef*>(raw.data()), static_cast<uLong>(raw.size()),
                  Z_DEFAULT_COMPRESSION) != Z_OK) {
        throw std::runtime_error("zlib could not compress the screen image");
    }
    packed.resize(packedSize);

    std::string header;
    AppendBigEndian(header, static_cast<uint32_t>(image.width));
    AppendBigEndian(header, static_cast<uint32_t>(image.height));
    header += std::string("\x08\x02\x00\x00\x00", 5);  // 8-bit RGB, deflate, no interlace

    std::string png("\x89PNG\r\n\x1a\n", 8);
    AppendChunk(png, "IHDR", header);
    AppendChunk(png, "IDAT", packed);
    AppendChunk(png, "IEND", {});
    return png;
}

}  // namespace tarnel::sim
