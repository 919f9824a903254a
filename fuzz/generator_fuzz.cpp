// The series generator on any input boxes: it either refuses with a message, or names one line
// per counter value, each the seed filename followed by a number and CR LF.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <variant>
#include <vector>

#include "series/generator.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quorvel;
  if (size < 1) return 0;
  // The first byte chooses the step button (or none); the rest holds the four boxes, one a line.
  const int option = data[0] % 7 - 1;
  std::istringstream lines(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
  std::vector<std::string> boxes(4);
  for (std::string& box : boxes) std::getline(lines, box);
  if (boxes[0].size() > 32) boxes[0].resize(32);  // the seed filename, kept short for speed
  const SeriesRequest request{.seed_filename = boxes[0],
                              .seed_number = {"seed", boxes[1]},
                              .pad_width = {"pad", boxes[2]},
                              .scans = {"scans", boxes[3]},
                              .step = option < 0 ? 0 : kOptionSteps[option]};
  const auto seed = SeedNumber(request);
  if (std::holds_alternative<std::string>(seed)) {
    if (std::get<std::string>(seed).empty()) std::abort();
    return 0;
  }
  const auto series = FillSeries(request, std::get<std::int32_t>(seed), 1);
  if (!std::holds_alternative<Series>(series)) std::abort();  // checked before: it must fit
  const std::string& text = std::get<Series>(series).text;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) std::abort();  // every line ends with CR LF
    if (text.compare(start, boxes[0].size(), boxes[0]) != 0) std::abort();
    start = end + 2;
  }
  return 0;
}
