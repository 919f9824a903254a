#include "common/file_info.h"

#include <filesystem>
#include <system_error>

#include "common/path_text.h"

namespace quorvel {

bool RegularFileExists(const std::string& path) {
  std::error_code error;
  return !path.empty() && std::filesystem::is_regular_file(PathOf(path), error);
}

std::optional<std::chrono::system_clock::time_point> LastWriteTime(const std::string& path) {
  std::error_code error;
  const auto written = std::filesystem::last_write_time(PathOf(path), error);
  if (error) return std::nullopt;
  return std::chrono::time_point_cast<std::chrono::system_clock::duration>(
      std::chrono::file_clock::to_sys(written));
}

}  // namespace quorvel
