// Writes the program's icon (the pixel data of app/icon.h) as a Windows .ico file, for the
// resource script. Runs on the build machine. Usage: make_icon <output.ico>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "app/icon.h"

namespace {

using quorvel::IconPalette;
using quorvel::IconPixel;
using quorvel::kIconSize;

void Put16(std::vector<std::uint8_t>& out, unsigned value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void Put32(std::vector<std::uint8_t>& out, unsigned value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

// One 32 x 32 image in 16 colours: a bitmap header of twice the height (the colour image, then
// the transparency mask), the palette, the 4-bit pixels bottom row first, and an all-opaque mask.
std::vector<std::uint8_t> IconImage() {
  constexpr unsigned kPixelBytes = kIconSize * kIconSize / 2;
  constexpr unsigned kMaskBytes = kIconSize * kIconSize / 8;
  std::vector<std::uint8_t> image;
  Put32(image, 40);
  Put32(image, kIconSize);
  Put32(image, kIconSize * 2);
  Put16(image, 1);  // planes
  Put16(image, 4);  // bits per pixel
  Put32(image, 0);  // no compression
  Put32(image, kPixelBytes + kMaskBytes);
  Put32(image, 0);
  Put32(image, 0);
  Put32(image, 16);  // colours used
  Put32(image, 0);
  for (const quorvel::IconColor& color : IconPalette()) {
    image.insert(image.end(), {color.blue, color.green, color.red, 0});
  }
  for (int y = kIconSize - 1; y >= 0; --y) {
    for (int x = 0; x < kIconSize; x += 2) {
      image.push_back(static_cast<std::uint8_t>(IconPixel(x, y) << 4 | IconPixel(x + 1, y)));
    }
  }
  image.insert(image.end(), kMaskBytes, 0);
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_icon <output.ico>\n");
    return 2;
  }
  const std::vector<std::uint8_t> image = IconImage();
  std::vector<std::uint8_t> file;
  Put16(file, 0);  // reserved
  Put16(file, 1);  // an icon
  Put16(file, 1);  // one image
  file.push_back(kIconSize);
  file.push_back(kIconSize);
  file.push_back(16);  // colours
  file.push_back(0);
  Put16(file, 1);  // planes
  Put16(file, 4);  // bits per pixel
  Put32(file, static_cast<unsigned>(image.size()));
  Put32(file, 6 + 16);  // where the image starts
  file.insert(file.end(), image.begin(), image.end());

  std::FILE* out = std::fopen(argv[1], "wb");
  if (out == nullptr) {
    std::perror(argv[1]);
    return 1;
  }
  const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
  if (std::fclose(out) != 0 || !written) {
    std::perror(argv[1]);
    return 1;
  }
  return 0;
}
