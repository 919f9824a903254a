// The filename series generator: "<-- Create Filename List".
#include "series/generator.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <limits>

#include "app/scanner_form.h"
#include "common/number_text.h"

namespace quorvel {
namespace {

constexpr std::string_view kTwelveZeros = "000000000000";
constexpr std::int16_t kLastCounter = std::numeric_limits<std::int16_t>::max() - 1;
constexpr std::string_view kNoStepMessage = "You need to select an add or decrement option!";
constexpr std::string_view kNoScansMessage = "You need to specify how many scans!";

// The step of the chosen option button; 0 when none is chosen.
std::int32_t SelectedStep(const ControlModel& controls) {
  for (int i = 0; i < static_cast<int>(kOptionSteps.size()); ++i) {
    if (controls.Value(Option1(i))) return kOptionSteps[i];
  }
  return 0;
}

double BoxNumber(const ControlModel& controls, ControlId box) {
  return ParseLeadingNumber(controls.Text(box));
}

// How the operator sees a box: by the caption of the label beside it.
std::string Caption(ControlId label) {
  return SpecOf(label).caption;
}

std::string SignedText(std::int32_t step) {
  return (step > 0 ? "+" : "") + DecimalText(step);
}

}  // namespace

std::string PaddedNumber(std::int32_t number, std::int16_t width) {
  std::string text;
  AppendPaddedNumber(text, number, width);
  return text;
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

std::optional<std::string> ScannerForm::SeriesProblem(std::int32_t first_number,
                                                      std::int16_t Start) const {
  const std::optional<std::int16_t> last = ToInt16(BoxNumber(controls_, ControlId::kNumberofScans));
  if (!last || *last > kLastCounter) {
    return "The number of scans in " + Caption(ControlId::kLabel4) + " must lie between " +
           DecimalText(std::numeric_limits<std::int16_t>::min()) + " and " +
           DecimalText(kLastCounter) + ".";
  }
  const std::optional<std::int16_t> width = ToInt16(BoxNumber(controls_, ControlId::kPadText));
  if (!width || *width < 0) {
    return "The pad width in " + Caption(Label3(1)) + " must lie between 0 and " +
           DecimalText(std::numeric_limits<std::int16_t>::max()) + ".";
  }
  const std::int32_t step = SelectedStep(controls_);
  const long long names = std::max(0, *last - Start + 1);
  const long long final_number = static_cast<long long>(first_number) + names * step;
  const bool too_high = final_number > std::numeric_limits<std::int32_t>::max();
  if (too_high || final_number < std::numeric_limits<std::int32_t>::min()) {
    return "Counting " + DecimalText(names) + " scans by " + SignedText(step) +
           " from the seed number in " + Caption(Label3(0)) + " would go past " +
           DecimalText(too_high ? std::numeric_limits<std::int32_t>::max()
                                : std::numeric_limits<std::int32_t>::min()) +
           ". Choose a " + (too_high ? "smaller" : "larger") + " seed number or fewer scans.";
  }
  return std::nullopt;
}

void ScannerForm::CreateCommand_Click() {
  if (SelectedStep(controls_) == 0) {
    host_.ShowMessage(std::string(kNoStepMessage));
    return;
  }
  if (BoxNumber(controls_, ControlId::kNumberofScans) == 0) {
    host_.ShowMessage(std::string(kNoScansMessage));
    return;
  }
  const std::optional<std::int32_t> seed =
      ToInt32(BoxNumber(controls_, ControlId::kSeedNumberText));
  if (!seed) {
    host_.ShowMessage("The seed number in " + Caption(Label3(0)) + " must lie between " +
                      DecimalText(std::numeric_limits<std::int32_t>::min()) + " and " +
                      DecimalText(std::numeric_limits<std::int32_t>::max()) + ".");
    return;
  }
  if (const std::optional<std::string> problem = SeriesProblem(*seed, 1)) {
    host_.ShowMessage(*problem);
    return;
  }
  controls_.SetText(ControlId::kFilenames, "");
  state_.CurrentNumber = *seed;
  FillFilenamesBox(1);
}

void ScannerForm::FillFilenamesBox(std::int16_t Start) {
  if (const std::optional<std::string> problem = SeriesProblem(state_.CurrentNumber, Start)) {
    host_.ShowMessage(*problem);
    return;
  }
  const std::int16_t last = *ToInt16(BoxNumber(controls_, ControlId::kNumberofScans));
  const std::int16_t width = *ToInt16(BoxNumber(controls_, ControlId::kPadText));
  std::string text;
  AppendSeries(text, controls_.Text(ControlId::kSeedText), state_.CurrentNumber,
               SelectedStep(controls_), Start, last, width);
  controls_.SetText(ControlId::kFilenames, std::move(text));
}

}  // namespace quorvel
