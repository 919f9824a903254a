// Building the list of filenames from a seed filename, a seed number, a step, a pad width and a
// number of scans.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace quorvel {

// The step of each option button of Option1, by index: the steps of 4 come last.
inline constexpr std::array<std::int32_t, 6> kOptionSteps = {1, 2, -1, -2, 4, -4};

// The number as a filename carries it: plain decimal; with a pad width above 0, the last `width`
// characters of twelve zeros followed by the digits (all of them when there are fewer). So a
// narrow width cuts digits off the front, and a minus sign stays inside the padding.
std::string PaddedNumber(std::int32_t number, std::int16_t width);
void AppendPaddedNumber(std::string& text, std::int32_t number, std::int16_t width);

// Appends one line per counter value from `first` to `last`: the seed filename, the number
// `current` + `step` padded to `width`, CR LF; `current` follows each name. The caller has made
// sure every number fits.
void AppendSeries(std::string& text, std::string_view seed_filename, std::int32_t& current,
                  std::int32_t step, int first, int last, std::int16_t width);

}  // namespace quorvel
