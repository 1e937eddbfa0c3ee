#pragma once

#include <map>
#include <string>

namespace tarnel {

// Android permission name to its Chinese description (narrow encoding), compared byte-wise.
using PermissionMap = std::map<std::string, std::string>;

// Empties the table and fills it with the 106 known permissions.
void BuildPermissionTable(PermissionMap& table);

}  // namespace tarnel
