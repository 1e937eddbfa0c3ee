#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarnel::sim {

// A plain 8-bit RGB image, rows top to bottom.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;  // width * height * 3
};

// The bytes of a PNG file (signature, IHDR, one zlib-compressed IDAT, IEND).
std::string EncodePng(const RgbImage& image);

}  // namespace tarnel::sim
