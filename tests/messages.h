// Matching the program's messages that carry a reason in the operating system's own words.
#pragma once

#include <gmock/gmock.h>

#include <string>

namespace quorvel::harness {

// "<before><reason><after>": the reason is checked where its wording is known (Linux), and
// elsewhere only the program's own words around it.
inline ::testing::Matcher<std::string> ReasonMessage(const std::string& before, const char* reason,
                                                     const std::string& after) {
#ifdef __linux__
  return ::testing::Eq(before + reason + after);
#else
  (void)reason;
  return ::testing::AllOf(::testing::StartsWith(before), ::testing::EndsWith(after));
#endif
}

}  // namespace quorvel::harness
