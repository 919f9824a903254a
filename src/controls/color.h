// Colours as the window layout and the logic give them.
#pragma once

#include <cstdint>

namespace quorvel {

// 0x00BBGGRR is a literal colour; the top bit set names system colour n (0x80000000 + n).
using Color = std::uint32_t;
inline constexpr Color kSystemColorFlag = 0x80000000u;
inline constexpr Color kWindowBackground = kSystemColorFlag | 5;
inline constexpr Color kWindowText = kSystemColorFlag | 8;
inline constexpr Color kButtonFace = kSystemColorFlag | 15;
inline constexpr Color kButtonText = kSystemColorFlag | 18;
inline constexpr Color kRed = 0x000000FF;
inline constexpr Color kGreen = 0x00008000;
inline constexpr Color kWhite = 0x00FFFFFF;
inline constexpr Color kListBlue = 0x00FFC0C0;

constexpr bool IsSystemColor(Color c) {
  return (c & kSystemColorFlag) != 0;
}
constexpr int SystemColorIndex(Color c) {
  return static_cast<int>(c & 0xFF);
}

}  // namespace quorvel
