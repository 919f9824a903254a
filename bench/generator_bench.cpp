// FillFilenamesBox must take time linear in the number of names: series of 1,000 to 32,766
// names, whose time ratio (scripts/bench) is about 32.8 when the growth is linear.
#include <benchmark/benchmark.h>

#include <string>
#include <variant>

#include "series/generator.h"

namespace quorvel {
namespace {

void BM_FillFilenamesBox(benchmark::State& state) {
  const std::string scans = std::to_string(state.range(0));
  const SeriesRequest request{.seed_filename = "scan-page-",
                              .pad_width = {"Pad # Digits:", "6"},
                              .scans = {"# Scans:", scans},
                              .step = 1};
  for (auto _ : state) {
    auto series = FillSeries(request, 0, 1);
    benchmark::DoNotOptimize(std::get<Series>(series).text.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_FillFilenamesBox)->Arg(1000)->Arg(4000)->Arg(16000)->Arg(32766);

}  // namespace
}  // namespace quorvel
