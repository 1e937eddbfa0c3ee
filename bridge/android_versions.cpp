#include "bridge/android_versions.h"

namespace tarnel {
namespace {

struct VersionRow {
    std::string_view level;
    std::string_view name;
    bool inInspection;
};

constexpr VersionRow kRows[] = {
    {"2", "Android 1.1", true},     {"3", "Android 1.5", true},     {"4", "Android 1.6", true},
    {"5", "Android 2.0", true},     {"7", "Android 2.1", true},     {"8", "Android 2.2", true},
    {"9", "Android 2.3", true},     {"10", "Android 2.3.3", true},  {"11", "Android 3.0", true},
    {"12", "Android 3.1", true},    {"13", "Android 3.2", true},    {"14", "Android 4.0", true},
    {"15", "Android 4.0.3", false}, {"16", "Android 4.1.2", false}, {"17", "Android 4.2.2", false},
    {"18", "Android 4.3.1", false}, {"19", "Android 4.4.2", false}, {"20", "Android L", false},
    {"21", "Android 5.0.1", false}, {"22", "Android 5.1.1", false},
};

}  // namespace

std::string AndroidVersionName(std::string_view level, VersionTableColumn column) {
    for (const VersionRow& row : kRows) {
        if (row.level == level && (row.inInspection || column == VersionTableColumn::Manifest)) {
            return std::string(row.name);
        }
    }
    return std::string(level);
}

}  // namespace tarnel
