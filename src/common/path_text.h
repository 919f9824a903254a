// Paths as the program holds them: UTF-8 text. The file system library reads a narrow string in
// the system's code page (on Windows, not UTF-8), so every path crosses over through these two.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace quorvel {

inline std::filesystem::path PathOf(std::string_view utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

inline std::string TextOf(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace quorvel
