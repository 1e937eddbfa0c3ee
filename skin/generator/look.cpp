#include "look.h"

#include <QFontMetricsF>
#include <QPainterPath>

namespace skin {

QImage Canvas(QSize size, const QColor& background) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(background);
    return image;
}

QFont Font(qreal pixelSize, bool bold) {
    QFont font;
    font.setFamilies({QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Micro Hei")});
    font.setPixelSize(qRound(pixelSize));
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

QPainter& Begin(QPainter& painter) {
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                           QPainter::SmoothPixmapTransform);
    return painter;
}

void Text(QPainter& painter, const QRectF& box, const QString& text, qreal pixelSize,
          const QColor& colour, bool bold, Qt::Alignment alignment) {
    painter.save();
    painter.setFont(Font(pixelSize, bold));
    painter.setPen(colour);
    painter.drawText(box, alignment, text);
    painter.restore();
}

qreal TextWidth(const QString& text, qreal pixelSize, bool bold) {
    return QFontMetricsF(Font(pixelSize, bold)).horizontalAdvance(text);
}

void RoundedBox(QPainter& painter, const QRectF& box, qreal radius, const QColor& fill,
                const QColor& border) {
    painter.save();
    painter.setBrush(fill);
    if (border.alpha() == 0) {
        painter.setPen(Qt::NoPen);
        painter.drawRoundedRect(box, radius, radius);
    } else {
        painter.setPen(QPen(border, 1));
        painter.drawRoundedRect(box.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    }
    painter.restore();
}

QImage Strip(std::initializer_list<QImage> frames) {
    const QSize frame = frames.begin()->size();
    QImage strip(frame.width() * static_cast<int>(frames.size()), frame.height(),
                 QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&strip);
    int x = 0;
    for (const QImage& each : frames) {
        painter.drawImage(x, 0, each);
        x += frame.width();
    }
    return strip;
}

void LogoMark(QPainter& painter, const QRectF& box, bool onBand) {
    painter.save();
    const qreal s = box.width();
    QLinearGradient fill(box.topLeft(), box.bottomRight());
    fill.setColorAt(0, onBand ? kWhite : QColor(45, 176, 232));
    fill.setColorAt(1, onBand ? QColor(226, 242, 250) : kBrandPressed);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRoundedRect(box, s * 0.24, s * 0.24);
    // The T: a bar and a stem with rounded ends.
    painter.setBrush(onBand ? kBrand : kWhite);
    const qreal bar = s * 0.16;
    painter.drawRoundedRect(QRectF(box.left() + s * 0.22, box.top() + s * 0.24, s * 0.56, bar),
                            bar / 2, bar / 2);
    painter.drawRoundedRect(QRectF(box.left() + s * 0.42, box.top() + s * 0.24, bar, s * 0.54),
                            bar / 2, bar / 2);
    painter.setBrush(kAccent);
    painter.drawEllipse(QPointF(box.left() + s * 0.74, box.top() + s * 0.70), s * 0.09, s * 0.09);
    painter.restore();
}

QImage LogoImage(int side) {
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    Begin(painter);
    LogoMark(painter, QRectF(0, 0, side, side));
    return image;
}

}  // namespace skin
