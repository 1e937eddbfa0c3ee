#pragma once

#include <QPainter>
#include <QRect>
#include <QRgb>
#include <QSize>
#include <QString>

class QWidget;

namespace tarnel {

// How every skinned page paints inside its paintEvent: the background colour over the whole page,
// then the pictures in the order the page lists them. Pictures are read from disk for each paint
// and dropped after it; Qt's backing store gives the double buffering. A missing picture leaves
// the background showing.
class SkinPagePainter {
  public:
    SkinPagePainter(QWidget* page, QRgb background);

    // At its own size; returns the size drawn, empty when the file is missing.
    QSize Picture(const QString& file, int x, int y);
    // Only the top-left part of the picture, at most part in size.
    void PicturePart(const QString& file, int x, int y, QSize part);
    void Stretched(const QString& file, const QRect& destination);
    // An image file outside the skin (a screenshot), scaled into destination.
    bool Photo(const QString& imageFile, const QRect& destination);

    QPainter& painter() { return painter_; }

  private:
    QPainter painter_;
};

}  // namespace tarnel
