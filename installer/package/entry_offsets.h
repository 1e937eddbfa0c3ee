#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace tarnel {

// Where the data of each entry begins in the zip file open at fd, by entry index (the order of
// the central directory, as the archive reader numbers them), so that stored entries can be
// copied by the kernel straight from the package file. Empty when the directory cannot be read;
// an entry whose local header cannot be read has no offset.
std::vector<std::optional<std::uint64_t>> EntryDataOffsets(int fd);

// Whether an entry's name in the central directory of the zip file open at fd holds a NUL byte,
// which the archive reader would cut the name at.
bool CentralNameHoldsNul(int fd);

}  // namespace tarnel
