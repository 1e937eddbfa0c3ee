#include "installer/package/entry_times.h"

#include <sys/stat.h>

namespace tarnel {

EntryTimes TimesFromDos(std::time_t dosTime) {
    return EntryTimes{dosTime, dosTime, dosTime};
}

void ApplyExtendedTimestamp(std::span<const std::uint8_t> field, EntryTimes& times) {
    if (field.empty()) {
        return;
    }
    const std::uint8_t flags = field[0];
    std::time_t* targets[] = {&times.modification, &times.access, &times.creation};
    std::size_t offset = 1;
    for (int bit = 0; bit < 3; ++bit) {
        if (!(flags & (1u << bit))) {
            continue;
        }
        if (offset + 4 > field.size()) {
            return;
        }
        // Signed: times before 1970 are negative.
        const std::int32_t value = static_cast<std::int32_t>(
            std::uint32_t{field[offset]} | std::uint32_t{field[offset + 1]} << 8 |
            std::uint32_t{field[offset + 2]} << 16 | std::uint32_t{field[offset + 3]} << 24);
        *targets[bit] = value;
        offset += 4;
    }
}

bool SetFileTimes(int fd, const EntryTimes& times) {
    const timespec values[2] = {{times.access, 0}, {times.modification, 0}};
    return futimens(fd, values) == 0;
}

std::time_t ContentTime(std::uint32_t crc) {
    constexpr std::time_t kFirstFatTime = 315532800;  // 1980-01-01 UTC
    return kFirstFatTime + static_cast<std::time_t>(crc & 0x3FFFFFFEu);
}

}  // namespace tarnel
