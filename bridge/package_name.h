#pragma once

#include <string_view>

namespace tarnel {

// Android's package-name grammar: two or more dot-separated segments, each a letter followed by
// letters, digits or underscores. Only such names go into a phone command or a file name.
bool IsValidPackageName(std::string_view name);

}  // namespace tarnel
