// What the cycle asks of a saved image, through the C++ file system library: whether it exists
// and when it was written. The path is taken literally (no wildcards).
#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace quorvel {

bool RegularFileExists(const std::string& path);
std::optional<std::chrono::system_clock::time_point> LastWriteTime(const std::string& path);

}  // namespace quorvel
