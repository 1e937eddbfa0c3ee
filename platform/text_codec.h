#pragma once

#include <string>
#include <string_view>

namespace tarnel {

// The process's narrow encoding: the locale's charset, where a C/POSIX locale counts as UTF-8.
// Every "ANSI" text of the programs is in this encoding.
std::string NarrowCharset();

// Selects the narrow encoding explicitly (programs leave it to the locale; tests pick GBK).
void SetNarrowCharset(std::string charset);

// UTF-8 bytes to the narrow encoding. Broken sequences become U+FFFD, characters the narrow
// encoding lacks become '?'. A length of zero or less gives an empty string.
std::string Utf8ToAnsi(const char* bytes, int length);

// Replaces UTF-8 text by its narrow form.
void Utf8ToGbkInPlace(std::string& text);

// Narrow text to UTF-32 (wchar_t) and to UTF-8, for the window toolkit and for JSON.
std::wstring AnsiToWide(std::string_view text);
std::string AnsiToUtf8(std::string_view text);

}  // namespace tarnel
