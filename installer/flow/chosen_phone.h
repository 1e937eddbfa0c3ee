#pragma once

#include <string>

namespace tarnel {

// The phone the user last chose among several, kept in the user's settings (tarnelInstall.ini)
// so that the next installation offers it first; empty when none was chosen yet.
std::string LastChosenPhone();
void RememberChosenPhone(const std::string& serial);

}  // namespace tarnel
