// Quorvel on Linux: the operator window in FLTK, driving the X11 desktop. Each status step the
// cycle reaches is also written to standard output as a line.
#include <FL/Fl.H>

#include <cstdio>
#include <exception>
#include <variant>

#include "app/command_line.h"
#include "app/fltk/fltk_host.h"
#include "app/scanner_form.h"
#include "desktop/x11_desktop.h"
#include "files/posix_file_system.h"

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
  try {
    X11Desktop desktop;
    PosixFileSystem files;
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
