#pragma once

#include <cstdint>
#include <ctime>
#include <span>

namespace tarnel {

struct EntryTimes {
    std::time_t creation = 0;
    std::time_t access = 0;
    std::time_t modification = 0;
};

// All three times from the entry's MS-DOS date and time (already in local time as time_t).
EntryTimes TimesFromDos(std::time_t dosTime);

// Applies an extended-timestamp ("UT", 0x5455) extra field: a flag byte, then a 32-bit Unix time
// for each of bits 0 (modification), 1 (access) and 2 (creation) that is set. Central directories
// usually carry only the modification time although the flags name more, so a time is taken only
// when its bytes are present. A field shorter than its flag byte changes nothing.
void ApplyExtendedTimestamp(std::span<const std::uint8_t> field, EntryTimes& times);

// A modification time made from a file's CRC-32, for copies that are compared by size and time
// (adb push --sync): a file on the phone with the same name, size and such a time holds, all but
// certainly, the same bytes, and a file whose content changed differs in time even where its
// package kept the size and the time. From 1980 on (FAT cards keep nothing older), below 2038
// (32-bit phones) and even (FAT keeps two-second steps): 29 bits of the CRC.
std::time_t ContentTime(std::uint32_t crc);

// Sets the access and modification times of an open file (Linux keeps no settable creation time).
bool SetFileTimes(int fd, const EntryTimes& times);
inline constexpr const char* kTimesFailure = "cannot set the file's times";

}  // namespace tarnel
