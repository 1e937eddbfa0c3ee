#include "installer/app/disabled_frame.h"

#include <QPainter>

#include "ui/skin_drawing.h"

namespace tarnel {

QImage WithDisabledFrame(const QImage& strip, int frameCount) {
    const QRect first = FrameRect(strip.size(), frameCount, 0);
    if (first.isEmpty()) {
        return strip;
    }
    QImage faded = strip.copy(first).convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < faded.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(faded.scanLine(y));
        for (int x = 0; x < faded.width(); ++x) {
            // Halfway between the pixel's grey and white.
            const int grey = 255 - (255 - qGray(line[x])) / 2;
            line[x] = qRgb(grey, grey, grey);
        }
    }
    QImage extended(first.width() * (frameCount + 1), strip.height(), QImage::Format_RGB32);
    QPainter painter(&extended);
    painter.drawImage(QPoint(0, 0), strip, QRect(0, 0, first.width() * frameCount, strip.height()));
    painter.drawImage(QPoint(first.width() * frameCount, 0), faded);
    return extended;
}

}  // namespace tarnel
