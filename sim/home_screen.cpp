#include "sim/home_screen.h"

#include <algorithm>
#include <array>

namespace tarnel::sim {

namespace {

struct Colour {
    uint8_t r, g, b;
};

class Canvas {
  public:
    explicit Canvas(RgbImage& image) : image_(image) {}

    void Fill(int left, int top, int width, int height, Colour colour, int radius = 0) {
        const int right = std::min(left + width, image_.width);
        const int bottom = std::min(top + height, image_.height);
        for (int y = std::max(top, 0); y < bottom; ++y) {
            for (int x = std::max(left, 0); x < right; ++x) {
                if (radius > 0 && OutsideCorner(x - left, y - top, width, height, radius)) {
                    continue;
                }
                uint8_t* pixel = &image_.pixels[(static_cast<size_t>(y) * image_.width + x) * 3];
                pixel[0] = colour.r;
                pixel[1] = colour.g;
                pixel[2] = colour.b;
            }
        }
    }

  private:
    static bool OutsideCorner(int x, int y, int width, int height, int radius) {
        const int cx = x < radius ? radius : (x >= width - radius ? width - radius - 1 : x);
        const int cy = y < radius ? radius : (y >= height - radius ? height - radius - 1 : y);
        const int dx = x - cx;
        const int dy = y - cy;
        return dx * dx + dy * dy > radius * radius;
    }

    RgbImage& image_;
};

uint8_t Blend(uint8_t from, uint8_t to, int step, int steps) {
    return static_cast<uint8_t>(from + (to - from) * step / std::max(steps, 1));
}

void PaintWallpaper(RgbImage& image, Canvas& canvas) {
    const Colour top{26, 35, 126};
    const Colour bottom{0, 137, 123};
    // Bands rather than a per-row gradient keep the PNG small.
    constexpr int kBands = 48;
    const int bandHeight = (image.height + kBands - 1) / kBands;
    for (int band = 0; band < kBands; ++band) {
        canvas.Fill(0, band * bandHeight, image.width, bandHeight,
                    {Blend(top.r, bottom.r, band, kBands), Blend(top.g, bottom.g, band, kBands),
                     Blend(top.b, bottom.b, band, kBands)});
    }
}

void PaintIcon(Canvas& canvas, int left, int top, int size, Colour colour, bool labelled) {
    canvas.Fill(left, top, size, size, colour, size / 4);
    canvas.Fill(left + size / 3, top + size / 3, size / 3, size / 3, {250, 250, 250}, size / 10);
    if (labelled) {
        canvas.Fill(left + size / 8, top + size + size / 6, size * 3 / 4, size / 9,
                    {230, 230, 235});
    }
}

}  // namespace

RgbImage PaintHomeScreen(int width, int height) {
    RgbImage image{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height * 3)};
    Canvas canvas(image);
    PaintWallpaper(image, canvas);

    const int statusBar = std::max(height / 36, 1);
    canvas.Fill(0, 0, width, statusBar, {12, 16, 48});
    canvas.Fill(width / 24, statusBar / 4, width / 9, statusBar / 2, {240, 240, 240});
    canvas.Fill(width - width / 8, statusBar / 4, width / 14, statusBar / 2, {240, 240, 240}, 2);

    static constexpr std::array<Colour, 8> kIconColours = {{{239, 83, 80},
                                                            {255, 167, 38},
                                                            {102, 187, 106},
                                                            {66, 165, 245},
                                                            {171, 71, 188},
                                                            {38, 198, 218},
                                                            {255, 202, 40},
                                                            {141, 110, 99}}};
    constexpr int kColumns = 4;
    constexpr int kRows = 5;
    const int cell = width / kColumns;
    const int icon = cell * 3 / 5;
    const int gridTop = statusBar + height / 12;
    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            const Colour colour = kIconColours[(row * kColumns + column) % kIconColours.size()];
            PaintIcon(canvas, column * cell + (cell - icon) / 2, gridTop + row * cell * 6 / 5, icon,
                      colour, true);
        }
    }

    const int navigationBar = std::max(height / 30, 1);
    const int dockTop = height - navigationBar - cell;
    canvas.Fill(width / 24, dockTop, width - width / 12, cell * 4 / 5, {48, 63, 159}, cell / 5);
    for (int column = 0; column < kColumns; ++column) {
        PaintIcon(canvas, column * cell + (cell - icon) / 2, dockTop + (cell * 4 / 5 - icon) / 2,
                  icon, kIconColours[(column * 3 + 1) % kIconColours.size()], false);
    }

    const int navigationTop = height - navigationBar;
    canvas.Fill(0, navigationTop, width, navigationBar, {0, 0, 0});
    const int mark = navigationBar / 2;
    for (int i = 1; i <= 3; ++i) {
        canvas.Fill(width * i / 4 - mark / 2, navigationTop + mark / 2, mark, mark, {200, 200, 200},
                    i == 2 ? mark / 2 : 0);
    }
    return image;
}

}  // namespace tarnel::sim
