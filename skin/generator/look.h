#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRectF>
#include <QString>

#include <initializer_list>

// The look of the skin in one place: colours, type and the shapes every picture is built from.
namespace skin {

inline const QColor kBrand(25, 154, 211);
inline const QColor kBrandHover(52, 171, 224);
inline const QColor kBrandPressed(18, 130, 181);
inline const QColor kBrandTint(232, 245, 251);
inline const QColor kAccent(253, 125, 36);
inline const QColor kAccentTint(255, 241, 231);
inline const QColor kGreen(135, 212, 80);
inline const QColor kGreenText(62, 142, 28);
inline const QColor kGreenTint(241, 250, 234);
inline const QColor kDanger(232, 17, 35);
inline const QColor kDangerPressed(197, 15, 31);
inline const QColor kText(51, 51, 51);
inline const QColor kMuted(116, 116, 116);
inline const QColor kLine(214, 220, 226);
inline const QColor kPage(244, 244, 244);
inline const QColor kWhite(255, 255, 255);
// The band behind keyed buttons is the colour those buttons paint under their pictures.
inline const QColor kBottomBand(251, 252, 248);
inline const QColor kDevice(43, 47, 54);

QImage Canvas(QSize size, const QColor& background);
QFont Font(qreal pixelSize, bool bold = false);
QPainter& Begin(QPainter& painter);
void Text(QPainter& painter, const QRectF& box, const QString& text, qreal pixelSize,
          const QColor& colour, bool bold = false, Qt::Alignment alignment = Qt::AlignCenter);
// Width of text at that size, for laying an icon and its caption out together.
qreal TextWidth(const QString& text, qreal pixelSize, bool bold = false);
void RoundedBox(QPainter& painter, const QRectF& box, qreal radius, const QColor& fill,
                const QColor& border = Qt::transparent);
// Frames of equal size side by side, the way image buttons read them.
QImage Strip(std::initializer_list<QImage> frames);
// The product's mark: a blue rounded square with a white T and an orange spark; on a blue band
// the square is white and the T blue.
void LogoMark(QPainter& painter, const QRectF& box, bool onBand = false);
// The mark alone on a transparent square: the program icon at one size.
QImage LogoImage(int side);

}  // namespace skin
