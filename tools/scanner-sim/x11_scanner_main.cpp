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

#include "event_log.h"
#include "files/posix_file_system.h"
#include "sim/simulated_scanner.h"
#include "tool_options.h"
#include "x11_scanner_windows.h"

using namespace quorvel;

namespace {

// On the right of the screen, clear of the operator window.
constexpr int kLeft = 710, kTop = 40;

volatile std::sig_atomic_t g_stop = 0;

void OnSignal(int) {
  g_stop = 1;
}

// Logs what happened since the last call, and gives a box or a dialog that has just opened the
// title the options ask for, before its X window is made.
class Watch {
 public:
  Watch(SimulatedDesktop& desktop, const SimulatedScanner& scanner, const StandInOptions& options,
        EventLog& log)
      : desktop_(desktop), scanner_(scanner), options_(options), log_(log) {}
  // Called before anything may happen: remembers the name that a save would use.
  void Before() { name_ = scanner_.NameField(); }
  void After() {
    const ScannerCounts& now = scanner_.Counts();
    if (const WindowHandle box = scanner_.ErrorBox(); box != box_) {
      if (box_ != 0) log_.Line("box", box_title_, "closed");
      if (box != 0) {
        box_title_ = now.pages_scanned == options_.jam_page ? kJamTitle : options_.box_title;
        desktop_.SetTitle(box, box_title_);
        log_.Line("box", box_title_, "shown");
      }
      box_ = box;
    }
    if (const WindowHandle dialog = scanner_.SaveAsDialog(); dialog != dialog_) {
      if (dialog != 0) desktop_.SetTitle(dialog, options_.dialog_title);
      dialog_ = dialog;
    }
    for (; saves_ < now.saves; ++saves_) {
      const std::string& name = scanner_.SavedNames()[static_cast<std::size_t>(saves_)];
      const bool stamped = StampSavedImage(scanner_.SavePath(name), options_.clock_offset);
      log_.Line("save", name, stamped ? "ok" : "unstamped");
    }
    for (; failed_ < now.saves_failed; ++failed_) log_.Line("save", name_, "failed");
    if (scanner_.Finished() && !done_) log_.Line("done");
    done_ = scanner_.Finished();
  }

 private:
  SimulatedDesktop& desktop_;
  const SimulatedScanner& scanner_;
  const StandInOptions& options_;
  EventLog& log_;
  std::string name_, box_title_;
  WindowHandle box_ = 0, dialog_ = 0;
  int saves_ = 0, failed_ = 0;
  bool done_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  StandInOptions options;
  ReadToolOptionsOrExit({argv + 1, argv + argc}, StandInOptionTable(options),
                        "quorvel-scanner-sim");
  std::error_code ignored;
  std::filesystem::create_directories(options.folder, ignored);
  EventLog log(options.log);
  if (!log.ok()) {
    std::fprintf(stderr, "quorvel-scanner-sim: cannot write the log %s\n", options.log.c_str());
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
  ScannerOptions behaviour{.save_folder = options.folder,
                           .pages = options.pages,
                           .first_scan_ms = options.first_scan_ms,
                           .scan_ms = options.scan_ms,
                           .ask_before_replacing = options.ask_before_replacing,
                           .image_bytes = static_cast<std::size_t>(options.image_bytes)};
  SimulatedScanner scanner(desktop, files, behaviour);
  Watch watch(desktop, scanner, options, log);
  {
    X11ScannerWindows windows(display, desktop, scanner, log, kLeft, kTop);
    scanner.Start();
    windows.Sync();
    const auto start = std::chrono::steady_clock::now();
    while (g_stop == 0 && !windows.Closed()) {
      const ScannerCounts& counts = scanner.Counts();
      const int next_save = counts.saves + counts.saves_failed + 1;
      if (options.failing_saves.contains(next_save)) scanner.FailNextSave();
      if (options.cut_saves.contains(next_save)) {
        scanner.BreakNextSave(SimulatedScanner::BrokenSave::kCutShort);
      }
      while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MappingNotify) XRefreshKeyboardMapping(&event.xmapping);
        watch.Before();
        windows.Handle(event);
        watch.After();
        windows.Sync();  // a box that a key closed is gone before the next event is read
      }
      watch.Before();
      clock.AdvanceTo(std::chrono::duration_cast<std::chrono::milliseconds>(
                          std::chrono::steady_clock::now() - start)
                          .count());
      watch.After();
      windows.Sync();
      pollfd connection{ConnectionNumber(display), POLLIN, 0};
      poll(&connection, 1, 10);
    }
  }
  XCloseDisplay(display);
  return 0;
}
