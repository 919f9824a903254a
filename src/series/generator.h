// Building the list of filenames from a seed filename, a seed number, a step, a pad width and a
// number of scans.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace quorvel {

// The step of each option button of Option1, by index: the steps of 4 come last.
inline constexpr std::array<std::int32_t, 6> kOptionSteps = {1, 2, -1, -2, 4, -4};

// A box of the operator window as the generator reads it: its text, and the caption of its label,
// by which a message names it.
struct SeriesBox {
  std::string_view caption;
  std::string_view text;
};

// What the operator entered for a series.
struct SeriesRequest {
  std::string_view seed_filename;
  SeriesBox seed_number;
  SeriesBox pad_width;
  SeriesBox scans;
  std::int32_t step = 0;  // of the chosen option button; 0 when none is chosen
};

// Names, one per line, each ended by CR LF; `last_number` is the number of the last of them.
struct Series {
  std::string text;
  std::int32_t last_number = 0;
  bool operator==(const Series&) const = default;
};

// The checks of "<-- Create Filename List" before anything is generated: the seed number to count
// from, or the message that tells the operator what is wrong.
std::variant<std::int32_t, std::string> SeedNumber(const SeriesRequest& request);

// The names for the counter values from `start` up to the number of scans, each number counted on
// from `current` by the step; or the message that tells the operator what is wrong.
std::variant<Series, std::string> FillSeries(const SeriesRequest& request, std::int32_t current,
                                             std::int16_t start);

// The number as a filename carries it: plain decimal; with a pad width above 0, the last `width`
// characters of twelve zeros followed by the digits (all of them when there are fewer). So a
// narrow width cuts digits off the front, and a minus sign stays inside the padding.
std::string PaddedNumber(std::int32_t number, std::int16_t width);

}  // namespace quorvel
