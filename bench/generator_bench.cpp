// FillFilenamesBox must take time linear in the number of names. The benchmark builds series of
// 1,000 to 32,766 names; the last line prints the time ratio between the longest and the
// shortest, which is about 32.8 when the growth is linear.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <map>

#include "app/headless/headless_host.h"
#include "app/scanner_form.h"
#include "common/number_text.h"
#include "desktop/simulated_desktop.h"

namespace quorvel {
namespace {

std::map<long long, double> seconds_per_series;

void BM_FillFilenamesBox(benchmark::State& state) {
  VirtualClock clock;
  SimulatedDesktop desktop(clock, std::filesystem::temp_directory_path().string());
  HeadlessHost host(clock);
  ScannerForm form(desktop, host);
  ControlModel& controls = form.Controls();
  controls.SetValue(Option1(0), true);
  controls.SetText(ControlId::kSeedText, "scan-page-");
  controls.SetText(ControlId::kPadText, "6");
  controls.SetText(ControlId::kNumberofScans, DecimalText(state.range(0)));
  for (auto _ : state) {
    form.State().CurrentNumber = 0;
    form.FillFilenamesBox(1);
    benchmark::DoNotOptimize(controls.Text(ControlId::kFilenames).data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_FillFilenamesBox)->Arg(1000)->Arg(4000)->Arg(16000)->Arg(32766);

// Keeps the mean processor time of each series length, for the ratio printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.iterations == 0) continue;
      const std::string& name = run.run_name.args;
      seconds_per_series[std::stoll(name)] =
          run.cpu_accumulated_time / static_cast<double>(run.iterations);
    }
    ConsoleReporter::ReportRuns(runs);
  }
};

}  // namespace
}  // namespace quorvel

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  quorvel::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const auto& times = quorvel::seconds_per_series;
  if (times.count(1000) && times.count(32766)) {
    std::printf("FillFilenamesBox: 32,766 names take %.1f times as long as 1,000 (linear: 32.8)\n",
                times.at(32766) / times.at(1000));
  }
  benchmark::Shutdown();
  return 0;
}
