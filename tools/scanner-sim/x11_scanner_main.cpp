// The stand-in scanning application on X11: the simulated scanner's behaviour in real windows,
// its time running with the wall clock. Ends when its main window is closed or on SIGTERM.
#include <X11/Xlib.h>
#include <poll.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "files/posix_file_system.h"
#include "key_log.h"
#include "sim/simulated_scanner.h"
#include "stand_in_options.h"
#include "x11_scanner_windows.h"

using namespace quorvel;

namespace {

volatile std::sig_atomic_t g_stop = 0;

void OnSignal(int) {
  g_stop = 1;
}

// Logs the pages and saves that happened since the last call.
class Progress {
 public:
  Progress(const SimulatedScanner& scanner, KeyLog& log) : scanner_(scanner), log_(log) {}
  // Called before anything may happen: remembers the name that a save would use.
  void Before() { name_ = scanner_.NameField(); }
  void After() {
    const ScannerCounts& now = scanner_.Counts();
    for (; pages_ < now.pages_scanned; ++pages_) log_.Line("page", std::to_string(pages_ + 1));
    for (; saves_ < now.saves; ++saves_) {
      log_.Line("save", scanner_.SavedNames()[static_cast<std::size_t>(saves_)], "ok");
    }
    for (; failed_ < now.saves_failed; ++failed_) log_.Line("save", name_, "failed");
  }

 private:
  const SimulatedScanner& scanner_;
  KeyLog& log_;
  std::string name_;
  int pages_ = 0, saves_ = 0, failed_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  std::string error;
  const auto options = ParseStandInOptions(std::vector<std::string>(argv + 1, argv + argc), error);
  if (!options) {
    std::fprintf(stderr, "quorvel-scanner-sim: %s\n%s", error.c_str(), kStandInUsage);
    return 2;
  }
  std::error_code ignored;
  std::filesystem::create_directories(options->scanner.save_folder, ignored);
  KeyLog log(options->log_path);
  if (!log.ok()) {
    std::fprintf(stderr, "quorvel-scanner-sim: cannot write the log %s\n",
                 options->log_path.c_str());
    return 1;
  }
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "quorvel-scanner-sim: cannot open the X display\n");
    return 1;
  }
  std::signal(SIGTERM, OnSignal);
  std::signal(SIGINT, OnSignal);

  VirtualClock clock;
  SimulatedDesktop desktop(clock);
  PosixFileSystem files;
  SimulatedScanner scanner(desktop, files, options->scanner);
  Progress progress(scanner, log);
  {
    X11ScannerWindows windows(display, desktop, scanner, log, options->left, options->top);
    scanner.Start();
    windows.Sync();
    const auto start = std::chrono::steady_clock::now();
    while (g_stop == 0 && !windows.Closed()) {
      const ScannerCounts& counts = scanner.Counts();
      if (options->failing_saves.contains(counts.saves + counts.saves_failed + 1)) {
        scanner.FailNextSave();
      }
      while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MappingNotify) XRefreshKeyboardMapping(&event.xmapping);
        progress.Before();
        windows.Handle(event);
        progress.After();
        windows.Sync();  // a box that a key closed is gone before the next event is read
      }
      progress.Before();
      clock.AdvanceTo(std::chrono::duration_cast<std::chrono::milliseconds>(
                          std::chrono::steady_clock::now() - start)
                          .count());
      progress.After();
      windows.Sync();
      pollfd connection{ConnectionNumber(display), POLLIN, 0};
      poll(&connection, 1, 10);
    }
  }
  XCloseDisplay(display);
  return 0;
}
