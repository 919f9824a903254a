// The operator window on the simulated desktop, with the headless host and a file system in
// memory: what most tests drive.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/headless/headless_host.h"
#include "app/layout.h"
#include "app/scanner_form.h"
#include "common/utf8.h"
#include "series/filename_list.h"
#include "sim/memory_file_system.h"
#include "sim/simulated_scanner.h"

namespace quorvel::harness {

using enum ControlId;
using Texts = std::vector<std::string>;

// A path of the file system in memory: the separator, then the names.
inline std::string PathOf(const std::vector<std::string>& names) {
  std::string path;
  for (const std::string& name : names) path += kPathSeparator + name;
  return path;
}

// The items, each followed by `end`: "|" is a table's way to spell a list.
inline std::string Joined(const std::vector<std::string>& items, const std::string& end = "|") {
  std::string text;
  for (const std::string& item : items) text += item + end;
  return text;
}

constexpr VirtualClock::Ms kHour = 60LL * 60 * 1000;

// page01, page02, ...
inline std::vector<std::string> Names(int count) {
  std::vector<std::string> names;
  for (int i = 1; i <= count; ++i) names.push_back("page" + std::to_string(100 + i).substr(1));
  return names;
}

// A status line as a tick showed it: its number and its text.
using Step = std::pair<int, std::string>;

// The desktop holds the operator window and a terminal; the scanning application is started by
// the test when it wants one. The program lives in /program, the images go to /scans.
struct Rig {
  explicit Rig(ScannerOptions options = {}, FormOptions form_options = {}, unsigned seed = 1)
      : desktop(clock, seed),
        files([this] { return desktop.Now(); }, PathOf({"program"})),
        host(clock),
        form(desktop, files, host, std::move(form_options)) {
    desktop.OpenWindow(ScannerFormLayout().caption);
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
    controls().SetText(ControlId::kFilenames, Joined(names, "\r\n"));
  }
  // The scanning application started and ENABLE pressed on these names.
  void StartSeries(const std::vector<std::string>& names) {
    scanner->Start();
    SetNames(names);
    Click(ControlId::kStartCommand);
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
  // Column `column` of the journal's lines of `event` (all when empty), the header left out:
  // 0 event, 1 name, 2 file, 3 bytes, 4 detail.
  std::vector<std::string> Journal(int column, const std::string& event = {}) {
    std::vector<std::string> values;
    const auto text = files.Contents(quorvel::Journal::PathIn(folder));
    for (const std::string& line : SplitIntoItems(text.value_or(""))) {
      std::vector<std::string> fields(1);
      bool quoted = false;
      for (std::size_t i = 0; i < line.size(); ++i) {
        // A quote opening again right after one closed is a doubled quote: one quote.
        if (line[i] == '"' && (quoted = !quoted) && i > 0 && line[i - 1] == '"')
          fields.back() += '"';
        if (line[i] == ',' && !quoted) fields.emplace_back();
        if (line[i] != '"' && (line[i] != ',' || quoted)) fields.back() += line[i];
      }
      fields.resize(6);
      if (fields[0] != "time" && (event.empty() || fields[1] == event))
        values.push_back(fields[static_cast<std::size_t>(column) + 1]);
    }
    return values;
  }
  bool LineIsRed(int line) { return controls()[DelayText(line)].back == kRed; }

  const std::string folder = PathOf({"scans"});
  VirtualClock clock;
  SimulatedDesktop desktop;
  MemoryFileSystem files;
  HeadlessHost host;
  ScannerForm form;
  std::optional<SimulatedScanner> scanner;
  WindowHandle terminal = 0;
  std::vector<Step> steps;
};

}  // namespace quorvel::harness
