#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarnel {

// Splits a command line into arguments by the rules Windows programs use: white space separates,
// double quotes group, 2n backslashes before a quote give n backslashes and a grouping quote,
// 2n+1 give n backslashes and a literal quote; other backslashes are literal.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// The argument wrapped in double quotes, escaped so that SplitCommandLine gives it back unchanged.
std::string QuoteArgument(std::string_view argument);

// The argument as it stands when it splits back to itself, otherwise QuoteArgument of it.
std::string QuoteArgumentIfNeeded(std::string_view argument);

}  // namespace tarnel
