#include "common/number_text.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace quorvel {
namespace {

bool IsIgnored(char c) {
  return c == ' ' || c == '\t' || c == '\n';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Value of the digits of `base` at the start of `text`, saturating far beyond any range the
// callers accept.
double ReadRadix(std::string_view text, int base) {
  double value = 0;
  for (char c : text) {
    int digit = -1;
    if (IsDigit(c)) digit = c - '0';
    if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0 || digit >= base) break;
    value = value * base + digit;
  }
  return value;
}

}  // namespace

double ParseLeadingNumber(std::string_view text) {
  std::string packed;
  packed.reserve(text.size());
  for (char c : text) {
    if (!IsIgnored(c)) packed.push_back(c);
  }
  std::string_view s = packed;
  if (s.size() >= 2 && s[0] == '&') {
    if (s[1] == 'h' || s[1] == 'H') return ReadRadix(s.substr(2), 16);
    if (s[1] == 'o' || s[1] == 'O') return ReadRadix(s.substr(2), 8);
    return 0;
  }
  std::size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  const std::size_t mantissa_start = i;
  std::size_t digits = 0;
  while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
  }
  if (digits == 0) return 0;
  std::size_t end = i;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
    if (j < s.size() && IsDigit(s[j])) {
      while (j < s.size() && IsDigit(s[j])) ++j;
      end = j;
    }
  }
  double value = 0;
  const auto result = std::from_chars(s.data() + mantissa_start, s.data() + end, value);
  if (result.ec == std::errc::result_out_of_range) {
    // Too large or too small for a double: infinity or zero, which the callers' range checks
    // then refuse or accept.
    const std::size_t e = s.substr(0, end).find_first_of("eE", mantissa_start);
    const bool tiny = e != std::string_view::npos && e + 1 < end && s[e + 1] == '-';
    value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
  }
  return negative ? -value : value;
}

double RoundHalfEven(double value) {
  if (!std::isfinite(value)) return value;
  const double floor = std::floor(value);
  const double fraction = value - floor;
  if (fraction < 0.5) return floor;
  if (fraction > 0.5) return floor + 1;
  return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

namespace {
template <typename Int>
std::optional<Int> ToInt(double value) {
  const double rounded = RoundHalfEven(value);
  if (!(rounded >= static_cast<double>(std::numeric_limits<Int>::min()) &&
        rounded <= static_cast<double>(std::numeric_limits<Int>::max()))) {
    return std::nullopt;
  }
  return static_cast<Int>(rounded);
}
}  // namespace

std::optional<std::int16_t> ToInt16(double value) {
  return ToInt<std::int16_t>(value);
}
std::optional<std::int32_t> ToInt32(double value) {
  return ToInt<std::int32_t>(value);
}

std::string DecimalText(long long value) {
  return std::to_string(value);
}

}  // namespace quorvel
