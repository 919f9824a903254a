// A small, valid Windows bitmap: what the stand-in scanning applications save for a page.
#pragma once

#include <string>

namespace quorvel {

// An 8 x 8 pixel, 24-bit .bmp whose colour depends on `page`.
std::string SmallBmp(int page);
// Writes it to `path` (a path the C library takes). False when it could not be written whole.
bool WriteSmallBmp(const std::string& path, int page);

}  // namespace quorvel
