#pragma once

#include <atomic>

#include "sim/connection.h"
#include "sim/phone.h"

namespace tarnel::sim {

// Accepts adb servers' connections, one thread each, until the process ends. Once a connection
// has "pulled the cable" (dropAfterBytes), the phone stays gone: later connections are closed
// at once, as if nothing were plugged in.
class PhoneServer {
  public:
    PhoneServer(Phone& phone, ConnectionBehaviour behaviour);

    void Run(int listeningFd);

  private:
    Phone& phone_;
    const ConnectionBehaviour behaviour_;
    std::atomic<bool> cablePulled_{false};
};

}  // namespace tarnel::sim
