#include "bridge/package_name.h"

namespace tarnel {
namespace {

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

bool IsValidPackageName(std::string_view name) {
    if (name.empty() || name.size() > 255)
        return false;
    int segments = 0;
    bool atSegmentStart = true;
    for (char c : name) {
        if (atSegmentStart) {
            if (!IsLetter(c))
                return false;
            atSegmentStart = false;
            ++segments;
        } else if (c == '.') {
            atSegmentStart = true;
        } else if (!IsLetter(c) && !IsDigit(c) && c != '_') {
            return false;
        }
    }
    return !atSegmentStart && segments >= 2;
}

}  // namespace tarnel
