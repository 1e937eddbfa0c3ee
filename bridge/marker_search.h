#pragma once

#include <string>
#include <string_view>

namespace tarnel {

// The text after the first occurrence of marker up to the next apostrophe (or the end); empty
// when the marker is missing. aapt's badging lines are read this way.
std::string ValueBeforeApostrophe(std::string_view text, std::string_view marker);

// The text after the first occurrence of marker up to the first `",`; empty when the marker is
// missing. A value that runs to the end of the text (the last member of an object) drops the
// closing quote and brace that follow it there.
std::string ValueAfterMarker(std::string_view text, std::string_view marker);

// The decimal number at the start of text, as C's atof reads it but independent of the locale;
// 0 when there is none.
double LeadingNumber(std::string_view text);

}  // namespace tarnel
