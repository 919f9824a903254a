// The operator window on the simulated desktop with the headless host: what most tests drive.
#pragma once

#include <atomic>
#include <filesystem>
#include <optional>
#include <ostream>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "app/headless/headless_host.h"
#include "app/scanner_form.h"
#include "desktop/simulated_scanner.h"

namespace quorvel::harness {

// A folder of its own for one test, removed with it.
class TempFolder {
 public:
  TempFolder() {
    static std::atomic<int> counter{0};
    path_ = std::filesystem::temp_directory_path() /
            ("quorvel-test-" + std::to_string(std::random_device{}()) + "-" +
             std::to_string(counter++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::filesystem::path& path() const { return path_; }
  std::string str() const { return path_.string(); }

 private:
  std::filesystem::path path_;
};

struct Step {
  int line;
  std::string text;
  bool operator==(const Step&) const = default;
  friend void PrintTo(const Step& step, std::ostream* out) {
    *out << step.line << " " << step.text;
  }
};

// The desktop holds the operator window and a terminal; the scanning application is started by
// the test when it wants one.
struct Rig {
  explicit Rig(ScannerOptions options = {})
      : desktop(clock, folder.str()), host(clock), form(desktop, host) {
    own_window = desktop.OpenWindow(ScannerFormLayout().caption);
    terminal = desktop.OpenWindow("Terminal");
    desktop.SetBystander(terminal);
    options.save_folder = folder.str();
    scanner.emplace(desktop, options);
    host.Attach(form);
    host.on_repaint = [this](ControlId id) {
      for (int line = 0; line < kStatusLines; ++line) {
        if (id == DelayText(line)) steps.push_back({line, form.Controls().Text(id)});
      }
    };
    form.State().Delay = kDefaultDelayMs;
    form.State().SaveFolder = folder.str();
  }

  RunState& state() { return form.State(); }
  ControlModel& controls() { return form.Controls(); }

  void SetNames(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) text += name + "\r\n";
    controls().SetText(ControlId::kFilenames, text);
  }
  void SetMode(ActionMode mode) { controls().SetValue(OptionAction(static_cast<int>(mode)), true); }

  // Runs the timers until the automation stops or `limit_ms` of virtual time has passed.
  void RunUntilStopped(VirtualClock::Ms limit_ms) {
    const VirtualClock::Ms end = clock.Now() + limit_ms;
    while (state().Running && clock.Now() < end) clock.Advance(500);
  }
  // Fires Timer1 once more (the next tick) and returns the steps it showed.
  std::vector<Step> NextTick() {
    steps.clear();
    const VirtualClock::Ms next = (clock.Now() / 2500 + 1) * 2500;
    clock.AdvanceTo(next);
    return steps;
  }
  std::string KeysTo(WindowHandle window) const { return desktop.KeysReceivedBy(window); }
  bool LineIsRed(int line) { return controls()[DelayText(line)].back == kRed; }

  TempFolder folder;
  VirtualClock clock;
  SimulatedDesktop desktop;
  HeadlessHost host;
  ScannerForm form;
  std::optional<SimulatedScanner> scanner;
  WindowHandle own_window = 0;
  WindowHandle terminal = 0;
  std::vector<Step> steps;
};

}  // namespace quorvel::harness
