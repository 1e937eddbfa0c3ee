#pragma once

#include <QImage>

namespace tarnel {

// The strip with one more frame at its end: frame 0 faded to a light grey, for the disabled
// state (frame state 3), so that a button the user cannot press does not look pressable. White
// stays white, so the new frame is colour-keyed as the others are.
QImage WithDisabledFrame(const QImage& strip, int frameCount);

}  // namespace tarnel
