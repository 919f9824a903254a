// The program's icon as pixel data: 32 x 32 pixels in 16 colours, a white wheelchair symbol on a
// blue ground. Each toolkit binding turns it into its own icon format.
#pragma once

#include <array>
#include <cstdint>

namespace quorvel {

inline constexpr int kIconSize = 32;

struct IconColor {
  std::uint8_t red, green, blue;
};

// The 16-colour palette the icon's pixels index.
const std::array<IconColor, 16>& IconPalette();

// The palette index of the pixel in column x and row y, from the top left corner.
int IconPixel(int x, int y);

}  // namespace quorvel
