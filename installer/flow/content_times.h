#pragma once

#include <filesystem>
#include <string>

namespace tarnel {

// Gives every file under folder a modification time taken from its content (a CRC-32), so that
// a file on the phone with the same name, size and time holds, all but certainly, the same bytes:
// adb's push --sync then skips it, and a file whose content changed is pushed again even when
// the package kept its size and its time. Times lie from 1980 on (FAT cards keep nothing older)
// and are even (FAT keeps two-second steps). False, with error, when a file cannot be read or
// stamped.
bool StampContentTimes(const std::filesystem::path& folder, std::string* error);

// The time StampContentTimes gives a file whose CRC-32 is crc.
long long ContentTime(unsigned long crc);

}  // namespace tarnel
