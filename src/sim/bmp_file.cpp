#include "sim/bmp_file.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>

namespace quorvel {
namespace {

void Put(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

std::string SmallBmp(int page, std::size_t min_bytes) {
  constexpr int kSide = 8;
  constexpr std::uint32_t kRowBytes = kSide * 3;  // already a multiple of four
  constexpr std::uint32_t kHeaderBytes = 14 + 40;
  const std::size_t wanted_rows =
      min_bytes > kHeaderBytes ? (min_bytes - kHeaderBytes + kRowBytes - 1) / kRowBytes : 0;
  const auto rows = static_cast<int>(std::max<std::size_t>(kSide, wanted_rows));
  const std::uint32_t pixel_bytes = kRowBytes * static_cast<std::uint32_t>(rows);
  std::string out;
  out.reserve(kHeaderBytes + pixel_bytes);
  out.push_back('B');
  out.push_back('M');
  Put(out, kHeaderBytes + pixel_bytes, 4);
  Put(out, 0, 4);
  Put(out, kHeaderBytes, 4);
  Put(out, 40, 4);  // BITMAPINFOHEADER
  Put(out, kSide, 4);
  Put(out, static_cast<std::uint32_t>(rows), 4);
  Put(out, 1, 2);   // planes
  Put(out, 24, 2);  // bits per pixel
  Put(out, 0, 4);   // no compression
  Put(out, pixel_bytes, 4);
  Put(out, 2835, 4);  // 72 dpi
  Put(out, 2835, 4);
  Put(out, 0, 4);
  Put(out, 0, 4);
  const auto shade = static_cast<std::uint32_t>((page * 37) & 0xFF);
  for (int y = 0; y < rows; ++y) {
    for (int x = 0; x < kSide; ++x) {
      const bool ink = (x + y) % 2 == 0;
      Put(out, ink ? shade : 0xFF, 1);
      Put(out, ink ? 0x40 : 0xFF, 1);
      Put(out, ink ? 0xFF - shade : 0xFF, 1);
    }
  }
  return out;
}

bool WriteSmallBmp(const std::string& path, int page, std::size_t min_bytes) {
  const std::string bytes = SmallBmp(page, min_bytes);
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  file.close();
  return static_cast<bool>(file);
}

}  // namespace quorvel
