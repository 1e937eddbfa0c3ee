#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarnel {

// The text of mimeapps.list with desktopId first among the defaults of every type; every other
// line keeps its bytes.
std::string WithDefaultApplication(std::string_view mimeapps, const std::vector<std::string>& types,
                                   const std::string& desktopId);
// The first desktop id mimeapps.list names as the type's default; empty when none.
std::string DefaultApplication(std::string_view mimeapps, std::string_view type);

}  // namespace tarnel
