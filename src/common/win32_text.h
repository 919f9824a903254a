// Conversions between the program's UTF-8 strings and the text encodings of the Windows API
// (built on Windows only).
#pragma once

#include <string>
#include <string_view>

namespace quorvel {

// Text in the system's ANSI code page (what the "A" functions return) as UTF-8.
std::string AnsiToUtf8(std::string_view ansi);
// UTF-16 (the "W" functions) to and from UTF-8. Bytes that are not UTF-8 count as Latin-1.
std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);

}  // namespace quorvel
