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

// Sets the access and modification times of an open file (Linux keeps no settable creation time).
bool SetFileTimes(int fd, const EntryTimes& times);
inline constexpr const char* kTimesFailure = "cannot set the file's times";

}  // namespace tarnel
