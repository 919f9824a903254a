// The long soak: quorvel_soak [pages] runs pages / 500 series of 500 names in Full Auto with every
// fault switched on, prints the figures, and exits non-zero on any harm.
#include <cstdio>
#include <cstdlib>

#include "tests/soak.h"

int main(int argc, char** argv) {
  using namespace quorvel::harness;
  SoakPlan plan;
  plan.series = (argc > 1 ? std::atoi(argv[1]) : 100000) / plan.names_per_series;
  const SoakResult result = RunSoak(plan);
  const bool sound = Harmless(plan, result);
  std::printf("%s\n%s\n", Describe(plan, result).c_str(), sound ? "sound" : "HARM FOUND");
  return sound ? 0 : 1;
}
