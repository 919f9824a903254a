// Letter case in the ASCII range only: window titles, settings keys and folder names are
// compared as the program's own texts, whatever the locale.
#pragma once

#include <string>
#include <string_view>

namespace quorvel {

constexpr char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

inline std::string LowerAscii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = LowerAscii(c);
  return lower;
}

// `text` begins with `lower_prefix` (given in lower case), ignoring the case of `text`.
constexpr bool StartsWithIgnoringCase(std::string_view text, std::string_view lower_prefix) {
  if (text.size() < lower_prefix.size()) return false;
  for (std::size_t i = 0; i < lower_prefix.size(); ++i) {
    if (LowerAscii(text[i]) != lower_prefix[i]) return false;
  }
  return true;
}

// `text` contains `lower_needle` (given in lower case) anywhere, ignoring the case of `text`.
constexpr bool ContainsIgnoringCase(std::string_view text, std::string_view lower_needle) {
  for (std::size_t start = 0; start + lower_needle.size() <= text.size(); ++start) {
    if (StartsWithIgnoringCase(text.substr(start), lower_needle)) return true;
  }
  return false;
}

}  // namespace quorvel
