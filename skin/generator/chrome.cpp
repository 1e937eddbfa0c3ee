#include <QPainterPath>

#include <functional>

#include "artwork.h"
#include "icons.h"
#include "look.h"

namespace skin {
namespace {

using Glyph = std::function<void(QPainter&, const QRectF&, const QColor&)>;

// One 28 x 28 title-bar button frame on the band colour or its hover and pressed colour.
QImage TitleButton(int width, const QColor& background, const Glyph& glyph, qreal glyphSize) {
    QImage frame = Canvas(QSize(width, 28), background);
    QPainter painter(&frame);
    Begin(painter);
    glyph(painter, QRectF((width - glyphSize) / 2, (28 - glyphSize) / 2, glyphSize, glyphSize),
          kWhite);
    return frame;
}

// A pill-shaped link on the top band, an icon and a caption inside.
QImage LinkButton(const Glyph& glyph, const QString& caption, bool hover) {
    QImage frame = Canvas(QSize(93, 29), kBrand);
    QPainter painter(&frame);
    Begin(painter);
    const QRectF pill(2, 2, 89, 25);
    RoundedBox(painter, pill, 12.5, hover ? QColor(255, 255, 255, 50) : QColor(255, 255, 255, 18),
               QColor(255, 255, 255, hover ? 160 : 110));
    const qreal textWidth = TextWidth(caption, 12);
    const qreal left = (93 - (14 + 5 + textWidth)) / 2;
    glyph(painter, QRectF(left, 7.5, 14, 14), kWhite);
    Text(painter, QRectF(left + 19, 2, textWidth + 2, 25), caption, 12, kWhite, false,
         Qt::AlignLeft | Qt::AlignVCenter);
    return frame;
}

QImage Band(QSize size) {
    return Canvas(size, kBrand);
}

// A band with the mark and a white title, for windows whose title is part of the picture.
QImage TitledBand(QSize size, const QString& title, qreal markSize, qreal textSize) {
    QImage band = Band(size);
    QPainter painter(&band);
    Begin(painter);
    const qreal markTop = (size.height() - markSize) / 2;
    LogoMark(painter, QRectF(10, markTop, markSize, markSize), true);
    Text(painter, QRectF(10 + markSize + 8, 0, size.width(), size.height()), title, textSize,
         kWhite, false, Qt::AlignLeft | Qt::AlignVCenter);
    return band;
}

QImage MainBanner() {
    QImage banner = Band(QSize(980, 90));
    QPainter painter(&banner);
    Begin(painter);
    // Soft rings in the open middle of the band, clear of the buttons on the right.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 14));
    painter.drawEllipse(QPointF(470, 96), 120, 120);
    painter.setBrush(QColor(255, 255, 255, 10));
    painter.drawEllipse(QPointF(590, -10), 70, 70);
    painter.drawEllipse(QPointF(380, 10), 36, 36);
    LogoMark(painter, QRectF(26, 23, 44, 44), true);
    Text(painter, QRectF(84, 18, 300, 34), QStringLiteral("Tarnel"), 28, kWhite, true,
         Qt::AlignLeft | Qt::AlignVCenter);
    Text(painter, QRectF(86, 50, 300, 22), QStringLiteral("手游玩家的电脑助手"), 13,
         QColor(255, 255, 255, 210), false, Qt::AlignLeft | Qt::AlignVCenter);
    return banner;
}

QImage BottomBand() {
    QImage band = Canvas(QSize(16, 60), kBottomBand);
    QPainter painter(&band);
    painter.fillRect(0, 0, 16, 1, kLine);
    return band;
}

}  // namespace

ArtworkList WindowChrome() {
    const Glyph close = icons::Close;
    const Glyph minimise = icons::Minimise;
    const Glyph menu = icons::Menu;
    return {
        {"title_back.png", Band(QSize(16, 35))},
        {"连接向导.jpg", TitledBand(QSize(160, 35), QStringLiteral("连接向导"), 20, 15)},
        {"Tarnel安装top.jpg", TitledBand(QSize(460, 42), QStringLiteral("Tarnel应用安装"), 24, 15)},
        {"top-bg.jpg", MainBanner()},
        {"底部背景.png", BottomBand()},
        {"关闭合成.jpg",
         Strip({TitleButton(28, kBrand, close, 10), TitleButton(28, kDanger, close, 10),
                TitleButton(28, kDangerPressed, close, 10)})},
        {"缩小合成.jpg",
         Strip({TitleButton(28, kBrand, minimise, 10), TitleButton(28, kBrandHover, minimise, 10),
                TitleButton(28, kBrandPressed, minimise, 10)})},
        {"下拉合成.jpg",
         Strip({TitleButton(28, kBrand, menu, 11), TitleButton(28, kBrandHover, menu, 11)})},
        {"微博合成.jpg", Strip({LinkButton(icons::Bubble, QStringLiteral("官方微博"), false),
                                LinkButton(icons::Bubble, QStringLiteral("官方微博"), true)})},
        {"qq合成.jpg", Strip({LinkButton(icons::Group, QStringLiteral("QQ交流群"), false),
                              LinkButton(icons::Group, QStringLiteral("QQ交流群"), true)})},
    };
}

}  // namespace skin
