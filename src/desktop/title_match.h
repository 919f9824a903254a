// How a window is found by its title for activation: the exact title first, else the first
// window (in the order given, topmost first) whose title begins with the wanted text.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace quorvel {

inline std::optional<std::size_t> MatchTitle(std::span<const std::string> titles,
                                             std::string_view wanted) {
  for (std::size_t i = 0; i < titles.size(); ++i) {
    if (titles[i] == wanted) return i;
  }
  for (std::size_t i = 0; i < titles.size(); ++i) {
    if (titles[i].starts_with(wanted)) return i;
  }
  return std::nullopt;
}

}  // namespace quorvel
