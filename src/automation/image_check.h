// Whether a saved image is really there: a whole Windows bitmap, written after its name was sent.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "files/file_system.h"

namespace quorvel {

// What a whole image is, for the record.
struct ImageFacts {
  std::uintmax_t bytes = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;  // negative: the rows run from the top down
};

// The image at `path` as a check finds it: its facts when it is whole, else what was found, in the
// operator's words ("no such file", "0 bytes", "cut short at 4,096 of 1,440,054 bytes").
struct ImageCheck {
  std::optional<ImageFacts> facts;  // set when the image confirms the save
  std::string problem;              // why it does not, when it does not
};

// `sent_at`: when its name was sent; an image older than that (less two seconds, as a disk that
// stamps files to two seconds may date it) is left from an earlier run. Nothing: no time known.
ImageCheck CheckImage(FileSystem& files, const std::string& path,
                      std::optional<std::chrono::system_clock::time_point> sent_at);

// A count of things in the operator's writing: digits grouped by thousands ("1,440,054").
std::string GroupedNumber(std::uintmax_t value);

}  // namespace quorvel
