#pragma once

#include <QFont>
#include <QString>

namespace tarnel {

inline const QString kLabelFace = QStringLiteral("微软雅黑");
inline const QString kVersionFace = QStringLiteral("宋体");
inline const QString kButtonCaptionFace = QStringLiteral("Tahoma");

// A font asked for the way the skin's layouts were measured: cellHeight is the height of the
// character cell (ascent plus descent) in pixels, not the em size. Faces a Linux desktop lacks
// fall back to the CJK fonts Debian ships.
QFont SkinFont(const QString& face, int cellHeight, int weight = 400);

}  // namespace tarnel
