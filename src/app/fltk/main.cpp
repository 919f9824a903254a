// Quorvel on Linux: the operator window in FLTK, driving the X11 desktop. Each status step the
// cycle reaches is also written to standard output as a line.
#include <FL/Fl.H>

#include <cstdio>
#include <exception>

#include "app/fltk/fltk_host.h"
#include "app/scanner_form.h"
#include "desktop/x11_desktop.h"
#include "files/posix_file_system.h"

int main() {
  using namespace quorvel;
  try {
    X11Desktop desktop;
    PosixFileSystem files;
    FltkHost host;
    ScannerForm form(desktop, files, host);
    host.Attach(form);
    form.Load();
    host.Show();
    return Fl::run();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "quorvel: %s\n", error.what());
    return 1;
  }
}
