// Writes the program's icon (the pixel data of app/icon.h) as a file for a system's icon
// machinery: a Windows .ico for the resource script, or a PNG of any size for the icon theme of a
// Linux desktop. Runs on the build machine.
// Usage: make_icon <output.ico> | make_icon <output.png> <size in pixels>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "app/icon.h"

namespace {

using quorvel::IconPalette;
using quorvel::IconPixel;
using quorvel::kIconSize;
using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& out, unsigned value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void Put32(Bytes& out, unsigned value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

void Put32BigEndian(Bytes& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back((value >> shift) & 0xFF);
}

// One 32 x 32 image in 16 colours: a bitmap header of twice the height (the colour image, then
// the transparency mask), the palette, the 4-bit pixels bottom row first, and an all-opaque mask.
Bytes IconImage() {
  constexpr unsigned kPixelBytes = kIconSize * kIconSize / 2;
  constexpr unsigned kMaskBytes = kIconSize * kIconSize / 8;
  Bytes image;
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

Bytes IcoFile() {
  const Bytes image = IconImage();
  Bytes file;
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
  return file;
}

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size) {
  std::uint32_t crc = 0xFFFFFFFF;
  for (std::size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
  }
  return ~crc;
}

void PutChunk(Bytes& out, std::string_view type, const Bytes& data) {
  Put32BigEndian(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t start = out.size();
  out.insert(out.end(), type.begin(), type.end());
  out.insert(out.end(), data.begin(), data.end());
  Put32BigEndian(out, Crc32(out.data() + start, out.size() - start));
}

// A zlib stream of stored blocks: the icon is small, so nothing needs compressing.
Bytes Stored(const Bytes& data) {
  Bytes out{0x78, 0x01};
  std::size_t at = 0;
  do {
    const unsigned length = static_cast<unsigned>(std::min<std::size_t>(data.size() - at, 65535));
    out.push_back(at + length == data.size() ? 1 : 0);  // the last block
    Put16(out, length);
    Put16(out, ~length & 0xFFFF);
    out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(at),
               data.begin() + static_cast<std::ptrdiff_t>(at + length));
    at += length;
  } while (at < data.size());
  std::uint32_t a = 1;
  std::uint32_t b = 0;
  for (std::uint8_t byte : data) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  Put32BigEndian(out, b << 16 | a);
  return out;
}

// The icon scaled to `size` pixels square, each pixel taking the colour of the icon's pixel it
// falls on, as a PNG of 4-bit indices into the icon's palette.
Bytes PngFile(int size) {
  Bytes pixels;
  for (int y = 0; y < size; ++y) {
    pixels.push_back(0);  // no filter
    for (int x = 0; x < size; x += 2) {
      const auto at = [&](int column) {
        return column < size ? IconPixel(column * kIconSize / size, y * kIconSize / size) : 0;
      };
      pixels.push_back(static_cast<std::uint8_t>(at(x) << 4 | at(x + 1)));
    }
  }
  Bytes header;
  Put32BigEndian(header, static_cast<std::uint32_t>(size));
  Put32BigEndian(header, static_cast<std::uint32_t>(size));
  header.insert(header.end(),
                {4, 3, 0, 0, 0});  // 4 bits, palette, deflate, no filter, no interlace
  Bytes palette;
  for (const quorvel::IconColor& color : IconPalette()) {
    palette.insert(palette.end(), {color.red, color.green, color.blue});
  }
  Bytes file{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  PutChunk(file, "IHDR", header);
  PutChunk(file, "PLTE", palette);
  PutChunk(file, "IDAT", Stored(pixels));
  PutChunk(file, "IEND", {});
  return file;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string_view output = argc > 1 ? argv[1] : "";
  const int size = argc == 3 ? std::atoi(argv[2]) : 0;
  const bool png = output.ends_with(".png") && size >= 1 && size <= 1024;
  if (!(png || (output.ends_with(".ico") && argc == 2))) {
    std::fprintf(stderr, "usage: make_icon <output.ico> | make_icon <output.png> <size>\n");
    return 2;
  }
  const Bytes file = png ? PngFile(size) : IcoFile();
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
