#pragma once

#include <QImage>
#include <QRect>
#include <QRgb>
#include <QSize>
#include <QString>

#include "ui/skin_palette.h"

class QPainter;

namespace tarnel {

// Reads a picture from the skin folder (an absolute path is taken as it is). Pixels are blended
// onto opaque black, so transparency in a file comes out black: pictures drawn colour-keyed
// carry a white surround instead. Null when the file is missing or unreadable.
QImage LoadSkinBitmap(const QString& fileName);

// The size of a skin picture without decoding it; empty when it cannot be read.
QSize SkinPictureSize(const QString& fileName);

// Null bitmaps draw nothing, so a missing picture leaves what was painted beneath it.
void DrawBitmapAt(QPainter& target, const QImage& bitmap, int x, int y);
void StretchBitmapTo(QPainter& target, const QImage& bitmap, const QRect& destination);

// Copies the source part of bitmap to destination, stretched when the sizes differ, and leaves
// every pixel of the key colour undrawn.
void ColourKeyBlit(QPainter& target, const QRect& destination, const QImage& bitmap,
                   const QRect& source, QRgb key = palette::kColourKey);

// Frame k of a strip of n equal frames side by side: frames are width / n wide (integer division)
// and frame k starts at k times that. Empty when the strip or the index cannot give a frame.
QRect FrameRect(QSize strip, int frameCount, int frameIndex);

// Draws frame k of the strip at the target's origin, colour-keyed on white or plainly.
void DrawFrame(QPainter& target, const QImage& strip, int frameCount, int frameIndex, bool keyed);

// Draws an image file (a screenshot, a package icon) scaled into rect. False when the file cannot
// be read; the target is then left untouched.
bool DrawPhotoScaled(QPainter& target, const QString& imageFile, const QRect& rect);

}  // namespace tarnel
