// The filename series generator: "<-- Create Filename List".
#include "series/generator.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <limits>
#include <optional>

#include "common/number_text.h"

namespace quorvel {
namespace {

constexpr std::string_view kTwelveZeros = "000000000000";
constexpr std::int16_t kLastCounter = std::numeric_limits<std::int16_t>::max() - 1;
constexpr std::string_view kNoStepMessage = "You need to select an add or decrement option!";
constexpr std::string_view kNoScansMessage = "You need to specify how many scans!";

std::string SignedText(std::int32_t step) {
  return (step > 0 ? "+" : "") + DecimalText(step);
}

// The last `width` characters of the twelve zeros followed by the digits, appended without a
// temporary string: a long series stays one pass over its text.
void AppendPaddedNumber(std::string& text, std::int32_t number, std::int16_t width) {
  char digits[16];
  const auto end = std::to_chars(std::begin(digits), std::end(digits), number).ptr;
  const std::string_view written(digits, static_cast<std::size_t>(end - digits));
  if (width <= 0) {
    text.append(written);
    return;
  }
  const std::size_t keep =
      std::min(static_cast<std::size_t>(width), kTwelveZeros.size() + written.size());
  if (keep <= written.size()) {
    text.append(written.substr(written.size() - keep));
  } else {
    text.append(keep - written.size(), '0').append(written);
  }
}

void AppendSeries(std::string& text, std::string_view seed_filename, std::int32_t& current,
                  std::int32_t step, int first, int last, std::int16_t width) {
  if (first > last) return;
  const std::size_t names = static_cast<std::size_t>(last - first) + 1;
  // A padded number never exceeds the twelve zeros and the eleven characters of -2147483648.
  const std::size_t widest = kTwelveZeros.size() + 11;
  text.reserve(text.size() + names * (seed_filename.size() + widest + 2));
  for (int counter = first; counter <= last; ++counter) {
    current += step;
    text.append(seed_filename);
    AppendPaddedNumber(text, current, width);
    text.append(kCrLf);
  }
}

// The bounds a series must keep: the message naming the box that passes them, or nothing.
std::optional<std::string> SeriesProblem(const SeriesRequest& request, std::int32_t first_number,
                                         std::int16_t start) {
  const std::optional<std::int16_t> last = ToInt16(ParseLeadingNumber(request.scans.text));
  if (!last || *last > kLastCounter) {
    return "The number of scans in " + std::string(request.scans.caption) + " must lie between " +
           DecimalText(std::numeric_limits<std::int16_t>::min()) + " and " +
           DecimalText(kLastCounter) + ".";
  }
  const std::optional<std::int16_t> width = ToInt16(ParseLeadingNumber(request.pad_width.text));
  if (!width || *width < 0) {
    return "The pad width in " + std::string(request.pad_width.caption) +
           " must lie between 0 and " + DecimalText(std::numeric_limits<std::int16_t>::max()) + ".";
  }
  const long long names = std::max(0, *last - start + 1);
  const long long final_number = static_cast<long long>(first_number) + names * request.step;
  const bool too_high = final_number > std::numeric_limits<std::int32_t>::max();
  if (too_high || final_number < std::numeric_limits<std::int32_t>::min()) {
    return "Counting " + DecimalText(names) + " scans by " + SignedText(request.step) +
           " from the seed number in " + std::string(request.seed_number.caption) +
           " would go past " +
           DecimalText(too_high ? std::numeric_limits<std::int32_t>::max()
                                : std::numeric_limits<std::int32_t>::min()) +
           ". Choose a " + (too_high ? "smaller" : "larger") + " seed number or fewer scans.";
  }
  return std::nullopt;
}

}  // namespace

std::string PaddedNumber(std::int32_t number, std::int16_t width) {
  std::string text;
  AppendPaddedNumber(text, number, width);
  return text;
}

std::variant<std::int32_t, std::string> SeedNumber(const SeriesRequest& request) {
  if (request.step == 0) return std::string(kNoStepMessage);
  if (ParseLeadingNumber(request.scans.text) == 0) return std::string(kNoScansMessage);
  const std::optional<std::int32_t> seed = ToInt32(ParseLeadingNumber(request.seed_number.text));
  if (!seed) {
    return "The seed number in " + std::string(request.seed_number.caption) + " must lie between " +
           DecimalText(std::numeric_limits<std::int32_t>::min()) + " and " +
           DecimalText(std::numeric_limits<std::int32_t>::max()) + ".";
  }
  if (std::optional<std::string> problem = SeriesProblem(request, *seed, 1)) return *problem;
  return *seed;
}

std::variant<Series, std::string> FillSeries(const SeriesRequest& request, std::int32_t current,
                                             std::int16_t start) {
  if (std::optional<std::string> problem = SeriesProblem(request, current, start)) {
    return *problem;
  }
  const std::int16_t last = *ToInt16(ParseLeadingNumber(request.scans.text));
  const std::int16_t width = *ToInt16(ParseLeadingNumber(request.pad_width.text));
  Series series;
  AppendSeries(series.text, request.seed_filename, current, request.step, start, last, width);
  series.last_number = current;
  return series;
}

}  // namespace quorvel
