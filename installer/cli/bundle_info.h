#pragma once

#include <ostream>
#include <string>

namespace tarnel {

class DeviceBridge;

// --info for a split-APK bundle: the base APK's facts, the APKs and OBB files it holds, and, when
// one phone is attached, what it is and the splits it would get (or why it gets none). Gives the
// exit status.
int RunBundleInfo(DeviceBridge& bridge, const std::string& path, std::ostream& out,
                  std::ostream& err);

}  // namespace tarnel
