// A small, valid Windows bitmap: what the stand-in scanning applications save for a page.
#pragma once

#include <string>

namespace quorvel {

// Writes an 8 x 8 pixel, 24-bit .bmp whose colour depends on `page`. False when it could not
// be written whole.
bool WriteSmallBmp(const std::string& path, int page);

}  // namespace quorvel
