// Quorvel on Linux: the operator window in FLTK, driving the X11 desktop. Each status step the
// cycle reaches is also written to standard output as a line.
#include <FL/Fl.H>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <string>
#include <variant>

#include "app/command_line.h"
#include "app/fltk/fltk_host.h"
#include "app/scanner_form.h"
#include "desktop/x11_desktop.h"
#include "files/posix_file_system.h"
#include "files/time_limited_file_system.h"

namespace {

// Whether an X display can be reached; if not, says so and what to do. Quorvel and the programs it
// drives are X11 programs: on a Wayland session both run under XWayland.
bool DisplayThere() {
  if (Display* display = XOpenDisplay(nullptr)) {
    XCloseDisplay(display);
    return true;
  }
  const char* name = std::getenv("DISPLAY");
  const std::string why =
      name == nullptr || *name == '\0'
          ? "DISPLAY is not set"
          : "the display DISPLAY names, \"" + std::string(name) + "\", cannot be reached";
  std::fprintf(
      stderr,
      "quorvel: there is no X display to show the window on: %s.\n"
      "Quorvel is an X11 program. Start it from a desktop session: on a Wayland session it\n"
      "runs under XWayland, as the scanning application does, once XWayland is installed.\n"
      "Outside a desktop, set DISPLAY to a running X server (for example DISPLAY=:0).\n",
      why.c_str());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace quorvel;
  const auto line = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  if (const auto* error = std::get_if<std::string>(&line)) {
    std::fprintf(stderr, "%s\n", error->c_str());
    return 2;
  }
  const CommandLine& options = std::get<CommandLine>(line);
  if (options.help || options.version) {
    std::printf("%s\n", (options.help ? UsageText() : VersionText()).c_str());
    return 0;
  }
  if (!DisplayThere()) return 1;
  try {
    X11Desktop desktop;
    // Every file call waits at most a time limit, so that a share that stops answering never
    // freezes the window.
    TimeLimitedFileSystem files(std::make_shared<PosixFileSystem>());
    FltkHost host;
    ScannerForm form(desktop, files, host, options.form);
    host.Attach(form);
    form.Load();
    host.Show();
    form.Shown();
    return Fl::run();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "quorvel: %s\n", error.what());
    return 1;
  }
}
