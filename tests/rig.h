// The operator window on the simulated desktop, with the headless host and a file system in
// memory: what most tests drive.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/headless/headless_host.h"
#include "app/layout.h"
#include "app/scanner_form.h"
#include "common/utf8.h"
#include "sim/memory_file_system.h"
#include "sim/simulated_scanner.h"

namespace quorvel::harness {

// A path of the file system in memory: the separator, then the names.
inline std::string PathOf(const std::vector<std::string>& names) {
  std::string path;
  for (const std::string& name : names) path += kPathSeparator + name;
  return path;
}

struct Step {
  int line;
  std::string text;
  bool operator==(const Step&) const = default;
  friend void PrintTo(const Step& step, std::ostream* out) {
    *out << step.line << " " << step.text;
  }
};

// The desktop holds the operator window and a terminal; the scanning application is started by
// the test when it wants one. The program lives in /program, the images go to /scans.
struct Rig {
  explicit Rig(ScannerOptions options = {}, FormOptions form_options = {})
      : desktop(clock),
        files([this] { return desktop.Now(); }, PathOf({"program"})),
        host(clock),
        form(desktop, files, host, std::move(form_options)) {
    own_window = desktop.OpenWindow(ScannerFormLayout().caption);
    terminal = desktop.OpenWindow("Terminal");
    desktop.SetBystander(terminal);
    files.AddFolder(folder);
    options.save_folder = folder;
    scanner.emplace(desktop, files, options);
    host.Attach(form);
    host.on_repaint = [this](ControlId id) {
      for (int line = 0; line < kStatusLines; ++line) {
        if (id == DelayText(line)) steps.push_back({line, form.Controls().Text(id)});
      }
    };
    state().Delay = kDefaultDelayMs;
    state().SaveFolder = folder;
  }

  RunState& state() { return form.State(); }
  ControlModel& controls() { return form.Controls(); }
  Cycle& cycle() { return form.Automation(); }
  void Click(ControlId id) { form.Clicked(id); }

  void SetNames(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) text += name + "\r\n";
    controls().SetText(ControlId::kFilenames, text);
  }
  void SetMode(ActionMode mode) { controls().SetValue(OptionAction(static_cast<int>(mode)), true); }
  std::string ImagePath(const std::string& name) const {
    return folder + kPathSeparator + name + ".bmp";
  }

  // Runs the timers until the automation stops or `limit_ms` of virtual time has passed.
  void RunUntilStopped(VirtualClock::Ms limit_ms) {
    const VirtualClock::Ms end = clock.Now() + limit_ms;
    while (state().Running && clock.Now() < end) clock.Advance(500);
  }
  // Fires Timer1 once more (the next tick) and returns the steps it showed.
  std::vector<Step> NextTick() {
    steps.clear();
    clock.AdvanceTo((clock.Now() / 2500 + 1) * 2500);
    return steps;
  }
  std::string KeysTo(WindowHandle window) const { return desktop.KeysReceivedBy(window); }
  bool LineIsRed(int line) { return controls()[DelayText(line)].back == kRed; }

  const std::string folder = PathOf({"scans"});
  VirtualClock clock;
  SimulatedDesktop desktop;
  MemoryFileSystem files;
  HeadlessHost host;
  ScannerForm form;
  std::optional<SimulatedScanner> scanner;
  WindowHandle own_window = 0;
  WindowHandle terminal = 0;
  std::vector<Step> steps;
};

}  // namespace quorvel::harness
