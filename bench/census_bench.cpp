// The census on the simulated desktop and the filename list loader, at growing sizes: time per
// window and per character must stay flat.
#include <benchmark/benchmark.h>

#include <string>

#include "app/headless/headless_host.h"
#include "app/scanner_form.h"
#include "series/filename_list.h"
#include "sim/memory_file_system.h"
#include "sim/simulated_desktop.h"

namespace quorvel {
namespace {

void BM_CensusSimulated(benchmark::State& state) {
  VirtualClock clock;
  SimulatedDesktop desktop(clock);
  MemoryFileSystem files([&desktop] { return desktop.Now(); }, "/");
  HeadlessHost host(clock);
  ScannerForm form(desktop, files, host);
  const auto windows = state.range(0);
  for (std::int64_t i = 0; i < windows; ++i) {
    desktop.OpenWindow(i == windows / 2 ? "DeskScan II" : "Window " + std::to_string(i));
  }
  for (auto _ : state) form.Automation().LoadTaskList();
  state.SetItemsProcessed(state.iterations() * windows);
  state.counters["ns_per_window"] =
      benchmark::Counter(static_cast<double>(state.iterations() * windows),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_CensusSimulated)->Arg(10)->Arg(100)->Arg(1000)->Arg(10000);

// The loader that ENABLE runs (ParseText): the list's lines and the names it queues.
void BM_ParseText(benchmark::State& state) {
  // Names of 60 characters and CR LF: as many whole lines as fit in the length.
  std::string text;
  while (text.size() + 62 <= static_cast<std::size_t>(state.range(0))) {
    text += std::string(60, 'n') + "\r\n";
  }
  text.resize(static_cast<std::size_t>(state.range(0)), 'x');
  for (auto _ : state) benchmark::DoNotOptimize(ReadNameList(text, 501));
  state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ParseText)->Arg(1000)->Arg(32766);

}  // namespace
}  // namespace quorvel
