// The lenient number parse and the whole-number conversions on any text.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "common/number_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const double value = quorvel::ParseLeadingNumber(text);
  if (std::isnan(value)) std::abort();  // a text never reads as "not a number"
  const double rounded = quorvel::RoundHalfEven(value);
  if (std::isfinite(value) && std::fabs(rounded - value) > 0.5) std::abort();
  if (const auto small = quorvel::ToInt16(value); small && *small != rounded) std::abort();
  if (const auto whole = quorvel::ToInt32(value); whole && *whole != rounded) std::abort();
  (void)quorvel::DecimalText(static_cast<long long>(quorvel::ToInt32(value).value_or(0)));
  return 0;
}
