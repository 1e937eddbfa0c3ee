#pragma once

#include <string>
#include <string_view>

namespace tarnel {

// Desktop-entry files as the freedesktop.org rules write them.

// A string value's escapes: backslashes doubled, line breaks and tabs as \n, \r, \t.
std::string EscapeEntryValue(std::string_view text);
// The value of key in the entry's main group, its escapes undone; empty when missing.
std::string EntryValue(std::string_view entry, std::string_view key);
// An Exec argument quoted as the rules ask, before the value's own escapes.
std::string QuoteExecArgument(std::string_view argument);
// The program an Exec value starts (its first argument, unquoted); empty when there is none.
std::string ExecProgram(std::string_view execValue);

}  // namespace tarnel
