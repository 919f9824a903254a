#include "automation/image_check.h"

#include <string_view>

namespace quorvel {
namespace {

constexpr std::size_t kFileHeaderBytes = 14;  // "BM", the file's size, two reserved words, offset

std::uint32_t Little(std::string_view bytes, std::size_t at, int count) {
  std::uint32_t value = 0;
  for (int i = count - 1; i >= 0; --i) {
    value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
  }
  return value;
}

// The bitmap's own header after the file header: its size first, then width and height, 16 bits
// each in the oldest form (12 bytes), 32 bits in every later one.
std::optional<ImageFacts> ReadHeader(std::string_view head, std::string& problem) {
  if (head.size() < kFileHeaderBytes + 4) {
    problem = "header cut short";
    return std::nullopt;
  }
  const std::uint32_t info = Little(head, kFileHeaderBytes, 4);
  const bool core = info == 12;
  if (!core && info < 16) {
    problem = "not a bitmap";
    return std::nullopt;
  }
  if (head.size() < kFileHeaderBytes + (core ? 12 : 16)) {
    problem = "header cut short";
    return std::nullopt;
  }
  ImageFacts facts;
  const int size = core ? 2 : 4;
  facts.width = static_cast<std::int32_t>(Little(head, kFileHeaderBytes + 4, size));
  facts.height = static_cast<std::int32_t>(Little(head, kFileHeaderBytes + 4 + size, size));
  if (core) facts.height = static_cast<std::int16_t>(facts.height);
  if (facts.width <= 0 || facts.height == 0) {
    problem = std::to_string(facts.width) + " x " + std::to_string(facts.height) + " pixels";
    return std::nullopt;
  }
  return facts;
}

// Whether the file is the one noted, untouched. The time stamps are compared at the finest grain
// both have: a time kept to the second (in the queue file, or by a file system that keeps no
// finer) is compared to the second.
bool Untouched(const FileFacts& before, const FileFacts& now) {
  if (before.size != now.size) return false;
  if (before.identity != 0 && now.identity != 0 && before.identity != now.identity) return false;
  const auto second = [](std::chrono::system_clock::time_point time) {
    return std::chrono::floor<std::chrono::seconds>(time);
  };
  const bool whole_seconds =
      second(before.written) == before.written || second(now.written) == now.written;
  return whole_seconds ? second(before.written) == second(now.written)
                       : before.written == now.written;
}

}  // namespace

std::string GroupedNumber(std::uintmax_t value) {
  std::string digits = std::to_string(value);
  for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) {
    digits.insert(static_cast<std::size_t>(at), ",");
  }
  return digits;
}

ImageBefore NoteImage(FileSystem& files, const std::string& path) {
  return {files.Facts(path)};
}

ImageCheck CheckImage(FileSystem& files, const std::string& path,
                      const std::optional<ImageBefore>& before) {
  const ImageCheck no_answer{std::nullopt, std::string(kNoAnswer), true};
  const std::optional<FileFacts> file = files.Facts(path);
  if (files.NoAnswer()) return no_answer;
  if (!file) return {std::nullopt, "no such file"};
  if (before && before->file && Untouched(*before->file, *file)) {
    return {std::nullopt, "written before the name was sent"};
  }
  if (file->size == 0) return {std::nullopt, "0 bytes"};
  std::string error;
  const std::optional<std::string> head = files.Read(path, kFileHeaderBytes + 16, error);
  if (files.NoAnswer()) return no_answer;
  if (!head) return {std::nullopt, "cannot be read (" + error + ")"};
  if (head->size() < 2 || head->compare(0, 2, "BM") != 0) return {std::nullopt, "not a bitmap"};
  std::string problem;
  std::optional<ImageFacts> facts = ReadHeader(*head, problem);
  if (!facts) return {std::nullopt, problem};
  const std::uint32_t stated = Little(*head, 2, 4);
  if (file->size < stated) {
    return {std::nullopt, "cut short at " + GroupedNumber(file->size) + " of " +
                              GroupedNumber(stated) + " bytes"};
  }
  facts->bytes = file->size;
  return {facts, {}};
}

}  // namespace quorvel
