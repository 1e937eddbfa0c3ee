#pragma once

#include "sim/png_writer.h"

namespace tarnel::sim {

// A plausible phone home screen: status bar, wallpaper, a grid of app icons with labels, a dock
// and the navigation bar, scaled to the display.
RgbImage PaintHomeScreen(int width, int height);

}  // namespace tarnel::sim
