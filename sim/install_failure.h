#pragma once

#include <string>
#include <string_view>

#include "sim/scenario.h"

namespace tarnel::sim {

// pm's answer for a failed install. Older phones print only the code in brackets
// ("Failure [INSTALL_FAILED_X]"); newer ones add a colon and an explanation.
std::string InstallFailureText(std::string_view code, std::string_view packageName,
                               InstallResultForm form);

}  // namespace tarnel::sim
