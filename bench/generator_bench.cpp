// "<-- Create Filename List" (FillFilenamesBox) must take time linear in the number of names:
// series of 1,000 to 32,766 names, whose time ratio (scripts/bench) is about 32.8 when the growth
// is linear.
#include <benchmark/benchmark.h>

#include "app/headless/headless_host.h"
#include "app/scanner_form.h"
#include "common/number_text.h"
#include "sim/memory_file_system.h"
#include "sim/simulated_desktop.h"

namespace quorvel {
namespace {

void BM_FillFilenamesBox(benchmark::State& state) {
  VirtualClock clock;
  SimulatedDesktop desktop(clock);
  MemoryFileSystem files([&desktop] { return desktop.Now(); }, "/");
  HeadlessHost host(clock);
  ScannerForm form(desktop, files, host);
  ControlModel& controls = form.Controls();
  controls.SetValue(Option1(0), true);
  controls.SetText(ControlId::kSeedText, "scan-page-");
  controls.SetText(ControlId::kPadText, "6");
  controls.SetText(ControlId::kNumberofScans, DecimalText(state.range(0)));
  controls.SetText(ControlId::kSeedNumberText, "0");
  for (auto _ : state) {
    form.Clicked(ControlId::kCreateCommand);  // the checks, then FillFilenamesBox(1)
    benchmark::DoNotOptimize(controls.Text(ControlId::kFilenames).data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_FillFilenamesBox)->Arg(1000)->Arg(4000)->Arg(16000)->Arg(32766);

}  // namespace
}  // namespace quorvel
