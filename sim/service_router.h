#pragma once

#include "sim/connection.h"
#include "sim/phone.h"

namespace tarnel::sim {

// The services a phone offers for the names adb opens: "shell:", "shell,v2,...:" (with
// shell_v2), "exec:", "sync:" and "abb_exec:" (with abb_exec). Anything else is refused.
ServiceOpener MakeServiceOpener(Phone& phone);

}  // namespace tarnel::sim
