// Numbers as the operator types them and as the program writes them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorvel {

// Line end of every text the program builds.
inline constexpr std::string_view kCrLf = "\r\n";

// Reads the number at the start of `text`, leniently: blanks, tabs and line feeds anywhere are
// ignored; an optional sign, digits, a full stop and an exponent are read up to the first
// character that cannot continue the number; "&H" and "&O" introduce hexadecimal and octal
// digits. A text that does not start with a number reads as 0.
double ParseLeadingNumber(std::string_view text);

// Nearest whole number, halves to the even neighbour (0.5 -> 0, 1.5 -> 2, 2.5 -> 2).
double RoundHalfEven(double value);

// `value` rounded half to even, or nothing when the result does not fit.
std::optional<std::int16_t> ToInt16(double value);
std::optional<std::int32_t> ToInt32(double value);

// Plain decimal: no blanks, a leading "-" for negatives, no grouping.
std::string DecimalText(long long value);

}  // namespace quorvel
