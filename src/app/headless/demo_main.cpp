// A Full Auto series on the simulated desktop, in virtual time: prints every status step as it
// is reached and the images saved. Usage: quorvel-headless-demo [pages]
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/headless/headless_host.h"
#include "app/layout.h"
#include "app/scanner_form.h"
#include "common/number_text.h"
#include "sim/memory_file_system.h"
#include "sim/simulated_scanner.h"

using namespace quorvel;

int main(int argc, char** argv) {
  const int pages = argc > 1 ? std::atoi(argv[1]) : 10;
  const std::string folder = std::string(1, kPathSeparator) + "scans";

  VirtualClock clock;
  SimulatedDesktop desktop(clock);
  MemoryFileSystem files([&desktop] { return desktop.Now(); }, folder);
  desktop.OpenWindow(ScannerFormLayout().caption);
  SimulatedScanner scanner(desktop, files, {.save_folder = folder, .pages = pages + 1});
  scanner.Start();
  HeadlessHost host(clock);
  ScannerForm form(desktop, files, host);
  host.Attach(form);
  host.on_repaint = [&](ControlId id) {
    for (int line = 0; line < kStatusLines; ++line) {
      if (id == DelayText(line)) {
        std::printf("%8.1f s  line %d  %s\n", static_cast<double>(clock.Now()) / 1000.0, line,
                    form.Controls().Text(id).c_str());
      }
    }
  };

  form.Load();
  form.State().SaveFolder = folder;
  std::string names;
  for (int page = 1; page <= pages; ++page) {
    char name[32];
    std::snprintf(name, sizeof name, "page%03d", page);
    names += name;
    names += kCrLf;
  }
  form.Controls().SetText(ControlId::kFilenames, names);
  std::printf("Full Auto series of %d pages into %s\n", pages, folder.c_str());
  form.Clicked(ControlId::kStartCommand);

  const VirtualClock::Ms limit = 60LL * 60 * 1000 * 4;
  while (form.State().Running && clock.Now() < limit) clock.Advance(100);

  std::printf("\nImages saved (%d), in order:\n", scanner.Counts().saves);
  for (const std::string& name : scanner.SavedNames()) {
    std::printf("  %s\n", scanner.SavePath(name).c_str());
  }
  const bool complete = !form.State().Running && scanner.Counts().saves == pages;
  std::printf("%s after %.1f s of virtual time\n",
              complete ? "Series complete" : "Series INCOMPLETE",
              static_cast<double>(clock.Now()) / 1000.0);
  return complete ? 0 : 1;
}
