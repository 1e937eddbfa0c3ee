#include "ui/skin_page_painter.h"

#include <QWidget>

#include "ui/skin_drawing.h"

namespace tarnel {

SkinPagePainter::SkinPagePainter(QWidget* page, QRgb background) : painter_(page) {
    painter_.fillRect(page->rect(), QColor(background));
}

QSize SkinPagePainter::Picture(const QString& file, int x, int y) {
    const QImage picture = LoadSkinBitmap(file);
    DrawBitmapAt(painter_, picture, x, y);
    return picture.size();
}

void SkinPagePainter::PicturePart(const QString& file, int x, int y, QSize part) {
    const QImage picture = LoadSkinBitmap(file);
    const QRect source = picture.rect().intersected(QRect(QPoint(0, 0), part));
    if (!source.isEmpty()) {
        painter_.drawImage(QPoint(x, y), picture, source);
    }
}

void SkinPagePainter::Stretched(const QString& file, const QRect& destination) {
    StretchBitmapTo(painter_, LoadSkinBitmap(file), destination);
}

bool SkinPagePainter::Photo(const QString& imageFile, const QRect& destination) {
    return DrawPhotoScaled(painter_, imageFile, destination);
}

}  // namespace tarnel
