#pragma once

#include <span>
#include <string>

#include "installer/package/entry_data.h"
#include "installer/package/whole_entry.h"

namespace tarnel {

// Copies a deflated entry too large to read whole into fd from offset 0, straight from the package
// file open at packageFd: zlib inflates it piece by piece into buffer and libdeflate takes the
// CRC. The data must come out exactly entry.size bytes long and match entry.crc. fd must have
// been sized with ReserveFileSize.
CopyStatus CopyDeflatedFromPackage(int packageFd, const EntrySpan& entry, int fd,
                                   std::span<char> buffer, const CopyHooks& hooks,
                                   std::string* error);

}  // namespace tarnel
