#include "ui/skin_drawing.h"

#include <QImageReader>
#include <QPainter>

#include "ui/skin_folder.h"

namespace tarnel {

QImage LoadSkinBitmap(const QString& fileName) {
    QImageReader reader(SkinFile(fileName));
    const QImage decoded = reader.read();
    if (decoded.isNull()) {
        return {};
    }
    QImage bitmap(decoded.size(), QImage::Format_RGB32);
    bitmap.fill(Qt::black);
    QPainter painter(&bitmap);
    painter.drawImage(0, 0, decoded);
    return bitmap;
}

QSize SkinPictureSize(const QString& fileName) {
    const QSize size = QImageReader(SkinFile(fileName)).size();
    return size.isValid() ? size : QSize();
}

void DrawBitmapAt(QPainter& target, const QImage& bitmap, int x, int y) {
    if (!bitmap.isNull()) {
        target.drawImage(x, y, bitmap);
    }
}

void StretchBitmapTo(QPainter& target, const QImage& bitmap, const QRect& destination) {
    if (!bitmap.isNull() && destination.isValid()) {
        target.drawImage(destination, bitmap);
    }
}

void ColourKeyBlit(QPainter& target, const QRect& destination, const QImage& bitmap,
                   const QRect& source, QRgb key) {
    const QRect part = source.intersected(bitmap.rect());
    if (bitmap.isNull() || part.isEmpty() || !destination.isValid()) {
        return;
    }
    QImage keyed = bitmap.copy(part).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QRgb keyColour = key & RGB_MASK;
    for (int y = 0; y < keyed.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(keyed.scanLine(y));
        for (int x = 0; x < keyed.width(); ++x) {
            if (qAlpha(line[x]) == 255 && (line[x] & RGB_MASK) == keyColour) {
                line[x] = 0;
            }
        }
    }
    target.drawImage(destination, keyed);
}

QRect FrameRect(QSize strip, int frameCount, int frameIndex) {
    if (strip.width() <= 0 || strip.height() <= 0 || frameCount < 1 || frameIndex < 0 ||
        frameIndex >= frameCount) {
        return {};
    }
    const int frameWidth = strip.width() / frameCount;
    if (frameWidth == 0) {
        return {};
    }
    return {frameIndex * frameWidth, 0, frameWidth, strip.height()};
}

void DrawFrame(QPainter& target, const QImage& strip, int frameCount, int frameIndex, bool keyed) {
    const QRect frame = FrameRect(strip.size(), frameCount, frameIndex);
    if (frame.isEmpty()) {
        return;
    }
    const QRect destination(QPoint(0, 0), frame.size());
    if (keyed) {
        ColourKeyBlit(target, destination, strip, frame);
    } else {
        target.drawImage(destination.topLeft(), strip, frame);
    }
}

bool DrawPhotoScaled(QPainter& target, const QString& imageFile, const QRect& rect) {
    QImageReader reader(imageFile);
    reader.setAutoTransform(true);
    const QImage photo = reader.read();
    if (photo.isNull() || !rect.isValid()) {
        return false;
    }
    target.save();
    target.setRenderHint(QPainter::SmoothPixmapTransform);
    target.drawImage(rect, photo);
    target.restore();
    return true;
}

}  // namespace tarnel
