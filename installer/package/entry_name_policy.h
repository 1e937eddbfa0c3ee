#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarnel {

// Why an entry may not be unpacked. Names are judged with '/' and '\' alike, as Windows tools that
// make packages use either.
enum class NameVerdict {
    Safe,
    Empty,             // nothing left after dropping separators and "." components
    Absolute,          // starts with '/' or '\'
    DriveLetter,       // "C:..." and every other name with ':' as its second character
    ParentReference,   // holds a ".." component
    ControlCharacter,  // bytes below 0x20 or 0x7F, which no package tool writes on purpose
    TooDeep,           // more folders or bytes than a path holds: could not be removed again
};

// No game's data goes deeper; a path of this many components stays well inside PATH_MAX.
inline constexpr std::size_t kMaxNameComponents = 64;
inline constexpr std::size_t kMaxNameBytes = 1024;

NameVerdict JudgeEntryName(std::string_view name);

// The components of a safe name, without empty and "." components.
std::vector<std::string> NameComponents(std::string_view name);

// A short English phrase for --extract's report.
const char* NameVerdictText(NameVerdict verdict);

}  // namespace tarnel
