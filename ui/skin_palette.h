#pragma once

#include <QRgb>

// The colours every skinned window draws with. Pictures in skin/home/ are drawn to match them.
namespace tarnel::palette {

inline constexpr QRgb kPageBackground = qRgb(244, 244, 244);
inline constexpr QRgb kPanel = qRgb(255, 255, 255);
// Pixels of this colour in a colour-keyed picture are not drawn.
inline constexpr QRgb kColourKey = qRgb(255, 255, 255);
inline constexpr QRgb kKeyedButtonBackground = qRgb(251, 252, 248);
inline constexpr QRgb kButtonCaption = qRgb(11, 91, 162);
inline constexpr QRgb kValueText = qRgb(153, 153, 153);
inline constexpr QRgb kCaptionText = qRgb(51, 51, 51);
inline constexpr QRgb kHeadingText = qRgb(10, 10, 10);
inline constexpr QRgb kBodyText = qRgb(116, 116, 116);
inline constexpr QRgb kDialogHighlight = qRgb(163, 21, 21);
inline constexpr QRgb kInstallerHighlight = qRgb(25, 154, 211);
inline constexpr QRgb kBarFilled = qRgb(135, 212, 80);
inline constexpr QRgb kBarEmpty = qRgb(238, 238, 238);
inline constexpr QRgb kSeparator = qRgb(238, 238, 238);
inline constexpr QRgb kAccentBar = qRgb(253, 125, 36);
inline constexpr QRgb kTitleText = qRgb(255, 255, 255);

}  // namespace tarnel::palette
