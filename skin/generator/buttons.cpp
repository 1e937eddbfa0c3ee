#include <QPainterPath>

#include <functional>

#include "artwork.h"
#include "icons.h"
#include "look.h"

namespace skin {
namespace {

using Glyph = std::function<void(QPainter&, const QRectF&, const QColor&)>;

struct ButtonLook {
    QColor fill;
    QColor border = Qt::transparent;
    QColor ink = kWhite;
};

struct Caption {
    QString text;
    qreal size;
    bool bold;
    Glyph glyph;  // may be empty
    qreal glyphSize = 0;
};

// A rounded button on a white surround, so it can be drawn colour-keyed; the icon and caption
// are centred together.
QImage CaptionButton(QSize size, qreal radius, const ButtonLook& look, const Caption& caption) {
    QImage frame = Canvas(size, kWhite);
    QPainter painter(&frame);
    Begin(painter);
    RoundedBox(painter, QRectF(0, 0, size.width(), size.height()), radius, look.fill, look.border);
    const qreal gap = caption.glyph ? caption.glyphSize * 0.4 : 0;
    const qreal textWidth = TextWidth(caption.text, caption.size, caption.bold);
    qreal left = (size.width() - (caption.glyphSize + gap + textWidth)) / 2;
    if (caption.glyph) {
        caption.glyph(painter,
                      QRectF(left, (size.height() - caption.glyphSize) / 2, caption.glyphSize,
                             caption.glyphSize),
                      look.ink);
        left += caption.glyphSize + gap;
    }
    Text(painter, QRectF(left, 0, textWidth + 2, size.height() - 1), caption.text, caption.size,
         look.ink, caption.bold, Qt::AlignLeft | Qt::AlignVCenter);
    return frame;
}

QImage PrimaryPair(QSize size, qreal radius, const Caption& caption) {
    return Strip({CaptionButton(size, radius, {kBrand}, caption),
                  CaptionButton(size, radius, {kBrandHover}, caption)});
}

// The small outlined buttons under the phone picture.
QImage ToolPair(const Glyph& glyph, const QString& text) {
    const Caption caption{text, 13, false, glyph, 12};
    return Strip({CaptionButton(QSize(60, 30), 4, {kWhite, kLine, kText}, caption),
                  CaptionButton(QSize(60, 30), 4, {kBrandTint, kBrand, kBrand}, caption)});
}

QImage Radio(bool selected) {
    QImage box = Canvas(QSize(14, 14), kWhite);
    QPainter painter(&box);
    Begin(painter);
    painter.setBrush(kWhite);
    painter.setPen(QPen(selected ? kBrand : QColor(184, 192, 200), 1.2));
    painter.drawEllipse(QRectF(1.1, 1.1, 11.8, 11.8));
    if (selected) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(kBrand);
        painter.drawEllipse(QPointF(7, 7), 3.3, 3.3);
    }
    return box;
}

QImage CheckBox(bool ticked) {
    QImage box = Canvas(QSize(14, 14), kWhite);
    QPainter painter(&box);
    Begin(painter);
    if (ticked) {
        RoundedBox(painter, QRectF(1, 1, 12, 12), 2.5, kBrand);
        icons::Check(painter, QRectF(2.5, 2.5, 9, 9), kWhite, 1.7);
    } else {
        RoundedBox(painter, QRectF(1, 1, 12, 12), 2.5, kWhite, QColor(184, 192, 200));
    }
    return box;
}

QImage Triangle(bool open) {
    QImage box = Canvas(QSize(14, 14), kWhite);
    QPainter painter(&box);
    Begin(painter);
    QPainterPath arrow;
    if (open) {
        arrow.moveTo(3, 9.5);
        arrow.lineTo(11, 9.5);
        arrow.lineTo(7, 4.5);
    } else {
        arrow.moveTo(3, 4.5);
        arrow.lineTo(11, 4.5);
        arrow.lineTo(7, 9.5);
    }
    arrow.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(kBrand);
    painter.drawPath(arrow);
    return box;
}

QImage DoneButton() {
    const Caption caption{QStringLiteral("安装完成"), 13, true,
                          [](QPainter& p, const QRectF& box, const QColor& colour) {
                              icons::Check(p, box, colour, 2);
                          },
                          12};
    return Strip(
        {CaptionButton(QSize(92, 32), 4, {kGreenTint, kGreen, kGreenText}, caption),
         CaptionButton(QSize(92, 32), 4, {QColor(226, 245, 210), kGreen, kGreenText}, caption)});
}

QImage CancelButton() {
    const Caption caption{QStringLiteral("取消"), 14, false, {}, 0};
    return Strip({CaptionButton(QSize(80, 27), 4, {kWhite, kLine, kMuted}, caption),
                  CaptionButton(QSize(80, 27), 4,
                                {QColor(242, 244, 246), QColor(184, 192, 200), kText}, caption)});
}

}  // namespace

ArtworkList Buttons() {
    return {
        {"安装合成.png",
         PrimaryPair(QSize(92, 32), 4, {QStringLiteral("立即安装"), 14, true, {}, 0})},
        {"完成.jpg", DoneButton()},
        {"本地安装合成.png",
         PrimaryPair(QSize(160, 50), 6,
                     {QStringLiteral("本地安装"), 17, true, icons::Package, 20})},
        {"连接合成.png",
         PrimaryPair(QSize(160, 50), 6, {QStringLiteral("连接手机"), 17, true, icons::Plug, 20})},
        {"确定.jpg", PrimaryPair(QSize(80, 27), 4, {QStringLiteral("确定"), 14, false, {}, 0})},
        {"取消.jpg", CancelButton()},
        {"刷新.jpg", ToolPair(icons::Refresh, QStringLiteral("刷新"))},
        {"复制.jpg", ToolPair(icons::Copy, QStringLiteral("复制"))},
        {"截屏.jpg", ToolPair(icons::Save, QStringLiteral("保存"))},
        {"Radio_0.jpg", Radio(false)},
        {"Radio_1.jpg", Radio(true)},
        {"选择框.jpg", CheckBox(false)},
        {"选择框选中.jpg", CheckBox(true)},
        {"小三角.jpg", Triangle(false)},
        {"小三角hover.jpg", Triangle(true)},
    };
}

}  // namespace skin
