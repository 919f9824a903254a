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
  bool no_answer = false;           // the folder did not answer: the check tells nothing
};

// The image's file as the folder showed it when its name was sent: absent (no facts), or there
// with its size, time stamp and identity.
struct ImageBefore {
  std::optional<FileFacts> file;
  bool operator==(const ImageBefore&) const = default;
};

// What the folder shows of the file at `path` now, to be compared once the image is due.
ImageBefore NoteImage(FileSystem& files, const std::string& path);

// `before`: the file when its name was sent. An image counts when it was absent then, or has
// changed since (another size, another file, or another time stamp); one left untouched is from
// an earlier run. The time stamps are only compared with each other, never with this computer's
// clock, so a file server whose clock differs does not matter. Nothing: not known, and a whole
// image counts.
ImageCheck CheckImage(FileSystem& files, const std::string& path,
                      const std::optional<ImageBefore>& before);

// A count of things in the operator's writing: digits grouped by thousands ("1,440,054").
std::string GroupedNumber(std::uintmax_t value);

}  // namespace quorvel
