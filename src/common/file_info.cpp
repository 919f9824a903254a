#include "common/file_info.h"

#include <filesystem>
#include <system_error>

namespace quorvel {

bool RegularFileExists(const std::string& path) {
  std::error_code error;
  return !path.empty() && std::filesystem::is_regular_file(std::filesystem::path(path), error);
}

std::optional<std::chrono::system_clock::time_point> LastWriteTime(const std::string& path) {
  std::error_code error;
  const auto written = std::filesystem::last_write_time(std::filesystem::path(path), error);
  if (error) return std::nullopt;
  return std::chrono::time_point_cast<std::chrono::system_clock::duration>(
      std::chrono::file_clock::to_sys(written));
}

}  // namespace quorvel
