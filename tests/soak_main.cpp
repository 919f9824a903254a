// The long soak: quorvel_soak [pages] runs pages / 500 series of 500 names in Full Auto with every
// fault switched on, prints the figures, and exits non-zero on any harm.
#include <cstdio>
#include <cstdlib>

#include "tests/soak.h"

int main(int argc, char** argv) {
  using namespace quorvel::harness;
  const int pages = argc > 1 ? std::atoi(argv[1]) : 100000;
  SoakPlan plan;
  plan.series = pages / plan.names_per_series;
  const SoakResult result = RunSoak(plan);
  std::printf("%s\n", Describe(plan, result).c_str());
  const bool sound = result.names_saved_in_order == result.names_listed &&
                     result.files_missing == 0 && result.misdelivered_keys == 0 &&
                     result.series_unfinished == 0 && result.messages == 0 &&
                     !result.alt_left_down && result.journal_lines == result.journal_expected;
  std::printf("%s\n", sound ? "sound" : "HARM FOUND");
  return sound ? 0 : 1;
}
