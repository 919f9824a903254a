#include "sim/bmp_file.h"

#include <array>
#include <cstdint>
#include <fstream>

namespace quorvel {
namespace {

void Put(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

std::string SmallBmp(int page) {
  constexpr int kSide = 8;
  constexpr std::uint32_t kRowBytes = kSide * 3;  // already a multiple of four
  constexpr std::uint32_t kPixelBytes = kRowBytes * kSide;
  constexpr std::uint32_t kHeaderBytes = 14 + 40;
  std::string out;
  out.reserve(kHeaderBytes + kPixelBytes);
  out.push_back('B');
  out.push_back('M');
  Put(out, kHeaderBytes + kPixelBytes, 4);
  Put(out, 0, 4);
  Put(out, kHeaderBytes, 4);
  Put(out, 40, 4);  // BITMAPINFOHEADER
  Put(out, kSide, 4);
  Put(out, kSide, 4);
  Put(out, 1, 2);   // planes
  Put(out, 24, 2);  // bits per pixel
  Put(out, 0, 4);   // no compression
  Put(out, kPixelBytes, 4);
  Put(out, 2835, 4);  // 72 dpi
  Put(out, 2835, 4);
  Put(out, 0, 4);
  Put(out, 0, 4);
  const auto shade = static_cast<std::uint32_t>((page * 37) & 0xFF);
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      const bool ink = (x + y) % 2 == 0;
      Put(out, ink ? shade : 0xFF, 1);
      Put(out, ink ? 0x40 : 0xFF, 1);
      Put(out, ink ? 0xFF - shade : 0xFF, 1);
    }
  }
  return out;
}

bool WriteSmallBmp(const std::string& path, int page) {
  const std::string bytes = SmallBmp(page);
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  file.close();
  return static_cast<bool>(file);
}

}  // namespace quorvel
