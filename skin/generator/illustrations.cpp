#include <QPainterPath>

#include "artwork.h"
#include "icons.h"
#include "look.h"

namespace skin {
namespace {

// The screen area of the phone frame; the device page scales the screenshot into it.
const QRectF kScreen(9, 38, 197, 345);

QLinearGradient ScreenGlow(const QRectF& screen) {
    QLinearGradient glow(screen.topLeft(), screen.bottomRight());
    glow.setColorAt(0, QColor(22, 40, 64));
    glow.setColorAt(1, QColor(12, 20, 34));
    return glow;
}

// A phone face-on: dark body, speaker and camera above the screen, a home key below it.
void PhoneBody(QPainter& painter) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(kDevice);
    painter.drawRoundedRect(QRectF(0, 0, 215, 410), 28, 28);
    painter.setPen(QPen(QColor(78, 84, 94), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(1.5, 1.5, 212, 407), 26.5, 26.5);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(72, 78, 88));
    painter.drawRoundedRect(QRectF(84, 18, 47, 4), 2, 2);
    painter.drawEllipse(QPointF(145, 20), 3, 3);
    painter.setPen(QPen(QColor(88, 94, 104), 1.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QPointF(107.5, 396.5), 8.5, 8.5);
}

QImage PhoneFrame() {
    QImage phone = Canvas(QSize(215, 410), kPage);
    QPainter painter(&phone);
    Begin(painter);
    PhoneBody(painter);
    painter.fillRect(kScreen, ScreenGlow(kScreen));
    // A faint reflection across the glass and the mark in the middle.
    QPainterPath shine;
    shine.moveTo(kScreen.topLeft());
    shine.lineTo(kScreen.left() + 130, kScreen.top());
    shine.lineTo(kScreen.left(), kScreen.top() + 190);
    shine.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 12));
    painter.drawPath(shine);
    LogoMark(painter, QRectF(83.5, 160, 48, 48));
    Text(painter, QRectF(kScreen.left(), 214, kScreen.width(), 24), QStringLiteral("Tarnel"), 16,
         QColor(255, 255, 255, 190), true);
    return phone;
}

QImage PhoneWithoutScreenshot() {
    QImage phone = Canvas(QSize(215, 410), kPage);
    QPainter painter(&phone);
    Begin(painter);
    PhoneBody(painter);
    painter.fillRect(kScreen, QColor(236, 240, 244));
    icons::Picture(painter, QRectF(83.5, 146, 48, 48), QColor(176, 186, 198));
    Text(painter, QRectF(kScreen.left(), 202, kScreen.width(), 24), QStringLiteral("暂无截图"), 15,
         kMuted);
    Text(painter, QRectF(kScreen.left(), 226, kScreen.width(), 20),
         QStringLiteral("点击下方“刷新”获取手机画面"), 12, QColor(150, 158, 166));
    return phone;
}

QImage Computer() {
    QImage computer = Canvas(QSize(80, 72), kPage);
    QPainter painter(&computer);
    Begin(painter);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(58, 66, 78));
    painter.drawRoundedRect(QRectF(2, 4, 76, 50), 5, 5);
    const QRectF screen(6, 8, 68, 40);
    QLinearGradient glow(screen.topLeft(), screen.bottomRight());
    glow.setColorAt(0, QColor(52, 178, 232));
    glow.setColorAt(1, kBrandPressed);
    painter.fillRect(screen, glow);
    LogoMark(painter, QRectF(29, 17, 22, 22), true);
    QPainterPath neck;
    neck.moveTo(34, 54);
    neck.lineTo(46, 54);
    neck.lineTo(48, 63);
    neck.lineTo(32, 63);
    neck.closeSubpath();
    painter.setBrush(QColor(140, 150, 162));
    painter.drawPath(neck);
    painter.setBrush(QColor(112, 122, 134));
    painter.drawRoundedRect(QRectF(20, 62, 40, 6), 3, 3);
    return computer;
}

QImage SmallPhone() {
    QImage phone = Canvas(QSize(48, 80), kPage);
    QPainter painter(&phone);
    Begin(painter);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kDevice);
    painter.drawRoundedRect(QRectF(3, 1, 42, 78), 8, 8);
    const QRectF screen(7, 11, 34, 56);
    QLinearGradient glow(screen.topLeft(), screen.bottomRight());
    glow.setColorAt(0, QColor(52, 178, 232));
    glow.setColorAt(1, kBrandPressed);
    painter.fillRect(screen, glow);
    painter.setBrush(QColor(90, 96, 106));
    painter.drawRoundedRect(QRectF(18, 5, 12, 2), 1, 1);
    painter.drawEllipse(QPointF(24, 73), 2.6, 2.6);
    icons::Check(painter, QRectF(15, 30, 18, 18), kWhite, 3);
    return phone;
}

// The connection wizard is laid out for a 480 x 200 window: the computer at x 40, the phone at
// 40 from the right edge and the arrow between them at x 125 to 305 + its width.

// Dots that grow stronger towards the head, as if the arrow were travelling right.
QImage Arrow() {
    QImage arrow = Canvas(QSize(56, 24), kPage);
    QPainter painter(&arrow);
    Begin(painter);
    painter.setPen(Qt::NoPen);
    int step = 0;
    for (qreal x : {6.0, 15.0, 24.0}) {
        QColor dot = kBrand;
        dot.setAlpha(90 + 55 * step++);
        painter.setBrush(dot);
        painter.drawEllipse(QPointF(x, 12), 3, 3);
    }
    QPainterPath head;
    head.moveTo(34, 3);
    head.lineTo(52, 12);
    head.lineTo(34, 21);
    head.lineTo(38, 12);
    head.closeSubpath();
    painter.setBrush(kBrand);
    painter.drawPath(head);
    return arrow;
}

using Glyph = void (*)(QPainter&, const QRectF&, const QColor&);

QImage PanelIcon(Glyph glyph, const QColor& tint, const QColor& ink) {
    QImage icon = Canvas(QSize(80, 80), kWhite);
    QPainter painter(&icon);
    Begin(painter);
    painter.setPen(Qt::NoPen);
    painter.setBrush(tint);
    painter.drawEllipse(QRectF(8, 8, 64, 64));
    glyph(painter, QRectF(22, 22, 36, 36), ink);
    return icon;
}

QImage Welcome() {
    QImage welcome = Canvas(QSize(500, 84), kPage);
    QPainter painter(&welcome);
    Begin(painter);
    Text(painter, QRectF(0, 4, 500, 36), QStringLiteral("欢迎使用 Tarnel"), 24, kText, true,
         Qt::AlignLeft | Qt::AlignVCenter);
    painter.fillRect(QRectF(1, 44, 40, 3), kAccent);
    Text(painter, QRectF(0, 54, 500, 24),
         QStringLiteral("用USB数据线把手机连到电脑，就能查看手机信息、一键安装游戏"), 14, kMuted,
         false, Qt::AlignLeft | Qt::AlignVCenter);
    return welcome;
}

QImage UsbHelp() {
    QImage help = Canvas(QSize(420, 50), kPage);
    QPainter painter(&help);
    Begin(painter);
    icons::Info(painter, QRectF(1, 4, 20, 20), kBrand);
    Text(painter, QRectF(30, 2, 390, 24), QStringLiteral("连接不上？请在手机上打开USB调试"), 14,
         kText, false, Qt::AlignLeft | Qt::AlignVCenter);
    Text(painter, QRectF(30, 27, 390, 20),
         QStringLiteral("设置 → 开发者选项 → USB调试，连上后在手机上点“允许”"), 12, kMuted, false,
         Qt::AlignLeft | Qt::AlignVCenter);
    return help;
}

QImage Smile() {
    QImage smile = Canvas(QSize(96, 96), kWhite);
    QPainter painter(&smile);
    Begin(painter);
    QRadialGradient face(QPointF(38, 34), 60);
    face.setColorAt(0, QColor(255, 214, 92));
    face.setColorAt(1, QColor(255, 178, 46));
    painter.setPen(Qt::NoPen);
    painter.setBrush(face);
    painter.drawEllipse(QRectF(8, 8, 80, 80));
    const QColor ink(110, 66, 18);
    painter.setBrush(ink);
    painter.drawEllipse(QPointF(35, 40), 5, 6.5);
    painter.drawEllipse(QPointF(61, 40), 5, 6.5);
    painter.setBrush(QColor(253, 125, 36, 90));
    painter.drawEllipse(QPointF(26, 56), 7, 4.5);
    painter.drawEllipse(QPointF(70, 56), 7, 4.5);
    QPen mouth(ink, 4.5);
    mouth.setCapStyle(Qt::RoundCap);
    painter.setPen(mouth);
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(QRectF(30, 38, 36, 28), 200 * 16, 140 * 16);
    return smile;
}

}  // namespace

ArtworkList Illustrations() {
    return {
        {"手机.jpg", PhoneFrame()},
        {"手机-1.jpg", PhoneWithoutScreenshot()},
        {"电脑.jpg", Computer()},
        {"手机设备.jpg", SmallPhone()},
        {"连接箭头.jpg", Arrow()},
        {"设备.jpg", PanelIcon(icons::Phone, kBrandTint, kBrand)},
        {"存储卡.jpg", PanelIcon(icons::SdCard, kAccentTint, kAccent)},
        {"欢迎.jpg", Welcome()},
        {"数据连接.jpg", UsbHelp()},
        {"笑脸.jpg", Smile()},
        {"二维码.png", QrCode("http://www.tarnel.com/", 80)},
    };
}

}  // namespace skin
