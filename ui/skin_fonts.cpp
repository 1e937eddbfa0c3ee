#include "ui/skin_fonts.h"

#include <QFontMetricsF>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace tarnel {
namespace {

QStringList FamiliesFor(const QString& face) {
    const QStringList cjkSans = {QStringLiteral("Noto Sans CJK SC"),
                                 QStringLiteral("WenQuanYi Micro Hei")};
    if (face == kLabelFace) {
        return QStringList{face, QStringLiteral("Microsoft YaHei")} + cjkSans;
    }
    if (face == kVersionFace) {
        return QStringList{face, QStringLiteral("SimSun"), QStringLiteral("Noto Serif CJK SC")} +
               cjkSans;
    }
    if (face == kButtonCaptionFace) {
        return QStringList{face, QStringLiteral("DejaVu Sans")} + cjkSans;
    }
    return QStringList{face} + cjkSans;
}

}  // namespace

QFont SkinFont(const QString& face, int cellHeight, int weight) {
    constexpr int kProbeSize = 100;
    QFont font;
    font.setFamilies(FamiliesFor(face));
    font.setWeight(static_cast<QFont::Weight>(std::clamp(weight, 1, 1000)));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(kProbeSize);
    const qreal probeCell = QFontMetricsF(font).height();
    const qreal scale = probeCell > 0 ? kProbeSize / probeCell : 1.0;
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(std::max(cellHeight, 1) * scale))));
    return font;
}

}  // namespace tarnel
