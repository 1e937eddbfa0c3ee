#pragma once

#include <string>

namespace tarnel {

// A number with three significant digits as the Windows C runtime's _gcvt writes it: fixed
// notation keeping its point ("512.", "1.5"), exponent notation with three exponent digits for
// 1000 and above or below 0.0001 ("1.02e+003").
std::string FormatThreeDigits(double value);

// A byte count as shown to users: "MB" from 1048576 bytes, "KB" from 1024, else "字节" (in the
// narrow encoding), the number in FormatThreeDigits form and the unit without a space.
std::string SizeText(double bytes);

}  // namespace tarnel
