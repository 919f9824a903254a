// A small, valid Windows bitmap: what the stand-in scanning applications save for a page.
#pragma once

#include <cstddef>
#include <string>

namespace quorvel {

// An 8 pixel wide, 24-bit .bmp whose colour depends on `page`: 8 pixels high, or as many more
// as make it `min_bytes` long (a page of a size a test asks for).
std::string SmallBmp(int page, std::size_t min_bytes = 0);
// Writes it to `path` (a path the C library takes). False when it could not be written whole.
bool WriteSmallBmp(const std::string& path, int page, std::size_t min_bytes = 0);

}  // namespace quorvel
