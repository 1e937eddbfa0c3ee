#pragma once

#include <string>

#include "sim/phone.h"
#include "sim/sync_protocol.h"

namespace tarnel::sim {

// "sync:": stat, list, push and pull requests until QUIT or an error.
void ServeSync(Stream& stream, Phone& phone);

// SEND and RECV; false when the service must end (after telling adb why, where possible).
bool ReceiveFile(SyncChannel& channel, Phone& phone, const std::string& pathAndMode);
bool SendFile(SyncChannel& channel, Phone& phone, const std::string& path);

}  // namespace tarnel::sim
