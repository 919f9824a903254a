// Whole-file reads and writes for the settings file. A write never leaves a half-written file:
// the text goes to a sibling temporary file, which reaches the disk and then takes the place of
// the old one.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quorvel {

// The file's whole content, or nothing with `error` saying why.
std::optional<std::string> ReadWholeFile(const std::string& path, std::string& error);

// The temporary file a write of `path` goes through.
std::string TemporaryPathFor(const std::string& path);

// Puts `text` in place of the file at `path`. False, with `error` saying why, when any step
// failed: the file at `path` is then as it was, and no temporary file of ours is left.
bool ReplaceFile(const std::string& path, std::string_view text, std::string& error);

}  // namespace quorvel
