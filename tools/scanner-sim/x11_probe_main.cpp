// A small driver of the X11 desktop port and of the display, for the end-to-end tests and the demo:
//   census [times]            the census, topmost first, and how long it took
//   send TITLE KEY...         activates TITLE, then delivers the keys: %x (Alt+x), {ENTER},
//                             {TAB}, anything else typed as text. Exit 3: refused.
//   held-keys                 lists the keys held down now; exit 1 when any is
//   layout                    every control of both windows in pixels at 96 dpi:
//                             window name index left top width height
//   queue INI FOLDER NAME...  writes the queue file of a Full Auto series cut short before its
//                             first name, saving into FOLDER, beside the settings file INI
//   status WINDOW             the status line that the operator window WINDOW (at 96 dpi) shows
//                             highlighted, read from its pixels: its index, -1 when none is (or
//                             the window is not drawn)
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>

#include "app/layout.h"
#include "app/layout_queries.h"
#include "desktop/x11_desktop.h"
#include "supervision/queue_file.h"

using namespace quorvel;

namespace {

constexpr int kDpi = 96;

int Census(int times) {
  X11Desktop desktop;
  double best_ms = 1e9;
  std::vector<WindowHandle> windows;
  for (int i = 0; i < times; ++i) {
    const auto start = std::chrono::steady_clock::now();
    windows = desktop.ListTopLevelWindows();
    for (WindowHandle w : windows) desktop.WindowTitle(w);
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    best_ms = std::min(best_ms, took.count());
  }
  for (WindowHandle w : windows) {
    std::printf("0x%08llx\t%s\n", static_cast<unsigned long long>(w),
                desktop.WindowTitle(w).c_str());
  }
  std::fprintf(stderr, "census of %zu windows: best %.3f ms of %d\n", windows.size(), best_ms,
               times);
  return 0;
}

int Send(int argc, char** argv) {
  X11Desktop desktop;
  KeyString keys;
  for (int i = 3; i < argc; ++i) {
    const std::string_view token = argv[i];
    if (token == "{ENTER}") {
      keys.Enter();
    } else if (token == "{TAB}") {
      keys.Tab();
    } else if (token.size() == 2 && token[0] == '%') {
      keys.Alt(token[1]);
    } else {
      keys.Text(token);
    }
  }
  if (!desktop.AppActivate(argv[2])) {
    std::printf("no window titled %s\n", argv[2]);
    return 4;
  }
  const auto start = std::chrono::steady_clock::now();
  const bool delivered = desktop.SendKeys(keys, true);
  const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
  std::printf("%s in %.1f ms\n", delivered ? "delivered" : "refused", took.count());
  return delivered ? 0 : 3;
}

int HeldKeys() {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return 2;
  char keys[32];
  XQueryKeymap(display, keys);
  int held = 0;
  for (int code = 0; code < 256; ++code) {
    if ((keys[code / 8] >> (code % 8)) & 1) {
      const KeySym sym = XkbKeycodeToKeysym(display, static_cast<KeyCode>(code), 0, 0);
      const char* name = XKeysymToString(sym);
      std::printf("held: keycode %d (%s)\n", code, name != nullptr ? name : "?");
      ++held;
    }
  }
  XCloseDisplay(display);
  return held == 0 ? 0 : 1;
}

int Layout() {
  for (const WindowSpec* window : {&ScannerFormLayout(), &SaveDirFormLayout()}) {
    const char* name = window == &ScannerFormLayout() ? "form" : "picker";
    for (const ControlSpec& control : window->controls) {
      if (control.kind == ControlKind::kTimer || control.kind == ControlKind::kLine) continue;
      const PixelRect r = ToPixels(AbsoluteRect(control), kDpi);
      std::printf("%s %s %d %d %d %d %d\n", name, control.name, control.index, r.left, r.top,
                  r.width, r.height);
    }
  }
  return 0;
}

int Queue(int argc, char** argv) {
  QueueState queue{.folder = argv[3]};
  queue.to_come.assign(argv + 4, argv + argc);
  const std::string path = QueueFilePath(argv[2], "");
  std::ofstream file(path, std::ios::binary);
  file << QueueText(queue);
  return file.flush() ? 0 : 1;
}

// The pixels of the operator window as the X server holds them now: a program that does not
// draw shows none of its highlight.
int HighlightedLine(const char* window_id) {
  char* end = nullptr;
  const auto window = static_cast<Window>(std::strtoul(window_id, &end, 0));
  if (end == window_id || *end != '\0') {
    std::fprintf(stderr, "quorvel-x11-probe: status takes a window id, not \"%s\"\n", window_id);
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return 2;
  XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });  // a window that goes shows none
  XWindowAttributes attributes{};
  int highlighted = -1;
  if (XGetWindowAttributes(display, window, &attributes) != 0 &&
      attributes.map_state == IsViewable) {
    for (const ControlSpec& control : ScannerFormLayout().controls) {
      if (control.name != std::string_view("DelayText")) continue;
      // Each line lies under the next: its top edge, at its right end past its text, is its own.
      const PixelRect r = ToPixels(AbsoluteRect(control), kDpi);
      XImage* image =
          XGetImage(display, window, r.left + r.width - 3, r.top + 2, 1, 1, AllPlanes, ZPixmap);
      if (image == nullptr) continue;
      XColor color{};
      color.pixel = XGetPixel(image, 0, 0);
      XDestroyImage(image);
      XQueryColor(display, attributes.colormap, &color);
      if (color.red > 0xC000 && color.green < 0x4000 && color.blue < 0x4000) {
        highlighted = control.index;
      }
    }
  }
  XCloseDisplay(display);
  std::printf("%d\n", highlighted);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  try {
    if (command == "census") return Census(argc > 2 ? std::atoi(argv[2]) : 1);
    if (command == "send" && argc > 2) return Send(argc, argv);
    if (command == "held-keys") return HeldKeys();
    if (command == "layout") return Layout();
    if (command == "queue" && argc > 3) return Queue(argc, argv);
    if (command == "status" && argc > 2) return HighlightedLine(argv[2]);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "quorvel-x11-probe: %s\n", error.what());
    return 2;
  }
  std::fprintf(stderr,
               "usage: quorvel-x11-probe census [times] | send TITLE KEY... | held-keys | layout | "
               "queue INI FOLDER NAME... | status WINDOW\n");
  return 2;
}
