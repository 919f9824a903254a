// The census of a real X server (run under Xvfb with the window manager and many windows open by
// quorvel-many-windows): Quorvel's census with its per-window event pump, against sequential
// Xlib title reads and against the floor, one pipelined batch of XCB property requests.
#include <FL/Fl.H>
#include <FL/x.H>
#include <X11/Xlib-xcb.h>
#include <X11/Xlib.h>
#include <benchmark/benchmark.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <vector>

#include "app/fltk/event_pump.h"
#include "app/form_host.h"
#include "app/scanner_form.h"
#include "desktop/x11_desktop.h"
#include "files/posix_file_system.h"

namespace quorvel {
namespace {

// The toolkit's side of a census: the event pump of the real program, nothing else.
class PumpHost : public FormHost {
 public:
  void ControlChanged(ControlId) override {}
  void Repaint(ControlId) override {}
  void ShowMessage(const std::string&) override {}
  bool Ask(const std::string&, bool yes_first) override { return yes_first; }
  void ShowAlert(const std::string&, const std::string&) override {}
  void CloseAlert() override {}
  void ShowNotice(const std::string&, const std::string&) override {}
  void Bell() override {}
  void PumpEvents() override { PumpPendingEvents(); }
  void ShowModal(SaveDirForm&) override {}
  WindowPosition GetWindowPosition() override { return {}; }
  void MoveWindow(WindowPosition) override {}
  void Quit() override {}
};

// The windows a census examines, so that every benchmark here reads the titles of the same set.
std::vector<Window> CensusWindows() {
  X11Desktop desktop;
  std::vector<Window> windows;
  for (WindowHandle window : desktop.ListTopLevelWindows()) windows.push_back(window);
  return windows;
}

void BM_QuorvelCensus(benchmark::State& state) {
  fl_open_display();
  X11Desktop desktop;
  PosixFileSystem files;
  PumpHost host;
  ScannerForm form(desktop, files, host);
  for (auto _ : state) form.Automation().LoadTaskList();
  state.counters["windows"] = static_cast<double>(form.Controls()[ControlId::kCombo1].items.size());
  state.counters["deskscan"] = form.State().DeskScanCount;
}
BENCHMARK(BM_QuorvelCensus)->Unit(benchmark::kMillisecond);

void BM_XlibSequentialTitles(benchmark::State& state) {
  Display* display = XOpenDisplay(nullptr);
  const std::vector<Window> windows = CensusWindows();
  for (auto _ : state) {
    for (Window window : windows) {
      char* name = nullptr;
      if (XFetchName(display, window, &name) && name) XFree(name);
    }
  }
  state.counters["windows"] = static_cast<double>(windows.size());
  XCloseDisplay(display);
}
BENCHMARK(BM_XlibSequentialTitles)->Unit(benchmark::kMillisecond);

void BM_XcbPipelinedFloor(benchmark::State& state) {
  Display* display = XOpenDisplay(nullptr);
  xcb_connection_t* connection = XGetXCBConnection(display);
  const std::vector<Window> windows = CensusWindows();
  const auto name = static_cast<xcb_atom_t>(XInternAtom(display, "_NET_WM_NAME", False));
  const auto utf8 = static_cast<xcb_atom_t>(XInternAtom(display, "UTF8_STRING", False));
  std::vector<xcb_get_property_cookie_t> cookies(windows.size());
  for (auto _ : state) {
    for (std::size_t i = 0; i < windows.size(); ++i) {
      cookies[i] = xcb_get_property(connection, 0, static_cast<xcb_window_t>(windows[i]), name,
                                    utf8, 0, 256);
    }
    for (auto cookie : cookies) std::free(xcb_get_property_reply(connection, cookie, nullptr));
  }
  state.counters["windows"] = static_cast<double>(windows.size());
  XCloseDisplay(display);
}
BENCHMARK(BM_XcbPipelinedFloor)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quorvel
