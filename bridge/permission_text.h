#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "bridge/permission_table.h"
#include "bridge/tool_command.h"

namespace tarnel {

// The permission names an aapt badging dump asks for, in order, repeats kept. Both aapt forms are
// read: `uses-permission:'NAME'` and aapt 10's `uses-permission: name='NAME'`.
std::vector<std::string> RequestedPermissions(std::string_view badging);

// The descriptions of the requested permissions that the table knows. Client: each followed by
// LF. Installer: four spaces, then each followed by CR LF and four spaces.
std::string DescribePermissions(const PermissionMap& table, std::string_view badging,
                                BridgeVariant variant);

}  // namespace tarnel
