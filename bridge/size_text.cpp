#include "bridge/size_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "platform/text_codec.h"

namespace tarnel {
namespace {

void DropTrailingZeros(std::string& digits) {
    if (digits.find('.') == std::string::npos)
        return;
    while (digits.back() == '0')
        digits.pop_back();
}

}  // namespace

std::string FormatThreeDigits(double value) {
    if (value == 0)
        return "0.";
    // to_chars, unlike printf, never writes a locale's decimal comma.
    char scientific[64];
    char* end = std::to_chars(scientific, scientific + sizeof scientific, value,
                              std::chars_format::scientific, 2)
                    .ptr;
    const char* e = std::find(scientific, end, 'e');
    int exponent = 0;
    std::from_chars(e + (e[1] == '+' ? 2 : 1), end, exponent);
    if (exponent >= 3 || exponent < -4) {
        std::string mantissa(scientific, static_cast<size_t>(e - scientific));
        DropTrailingZeros(mantissa);
        std::string digits = std::to_string(std::abs(exponent));
        digits.insert(0, 3 - std::min<size_t>(3, digits.size()), '0');
        return mantissa + (exponent < 0 ? "e-" : "e+") + digits;
    }
    char fixed[400];
    end = std::to_chars(fixed, fixed + sizeof fixed, value, std::chars_format::fixed, 2 - exponent)
              .ptr;
    std::string digits(fixed, end);
    if (digits.find('.') == std::string::npos)
        digits += '.';
    DropTrailingZeros(digits);
    return digits;
}

std::string SizeText(double bytes) {
    const double whole = std::floor(bytes);
    if (whole >= 1048576)
        return FormatThreeDigits(bytes / 1024 / 1024) + "MB";
    if (whole >= 1024)
        return FormatThreeDigits(bytes / 1024) + "KB";
    std::string unit = "字节";
    Utf8ToGbkInPlace(unit);
    return FormatThreeDigits(bytes) + unit;
}

}  // namespace tarnel
