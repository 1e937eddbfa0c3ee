#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "bridge/device_info.h"

namespace tarnel {

// A phone's facts read through adb's shell when the companion app is not at hand. Every
// question goes into one shell run whose answers are told apart by marker lines; the parsers
// below are pure functions of the captured text, in the forms today's Android (toybox) and
// Android 4 to 6 (toolbox, lines ending in CR LF) print.

// The one fixed shell command line; it carries no text from the user or the phone.
std::string DirectFactsScript();

// Fills info from the output of DirectFactsScript; false, leaving info as it was, when the run
// did not reach its end (adb failed, the phone went away, a time limit) or named no phone.
bool ParseDirectFacts(std::string_view output, DeviceInfo& info);

// One `getprop NAME` answer: its first line; empty for a missing property.
std::string GetpropValue(std::string_view text);

// `wm size`: the override size when one is set, else the physical size ("1080x2340"). Android
// 4.2 and older have no wm: there the size comes from `dumpsys window displays` ("init=720x1280").
// Empty when neither names one.
std::string ScreenSize(std::string_view text);

struct SpaceFacts {
    double total = 0;  // bytes
    double free = 0;   // bytes
};

// /proc/meminfo: MemTotal, and MemAvailable where the kernel has it (3.14 on), else
// MemFree + Buffers + Cached.
std::optional<SpaceFacts> MemoryFacts(std::string_view meminfo);

// The first row of `df PATH`, toybox (1K blocks, "Available") or toolbox ("21.9G", "Free").
std::optional<SpaceFacts> FirstDfRow(std::string_view df);

// The removable SD card among the rows of a plain `df`: a public volume under /storage
// (XXXX-XXXX) or the names Android 4 and 5 phones gave their cards; nothing when there is none.
std::optional<SpaceFacts> RemovableCard(std::string_view df);

// /sys/devices/system/cpu/possible ("0-7", "0-3,6"): the number of cores, 0 when unreadable.
int CpuCount(std::string_view possible);

// `command -v su`: true when it names a path to su.
bool ShowsSu(std::string_view text);

}  // namespace tarnel
