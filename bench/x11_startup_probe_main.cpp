// Start-up of a program on the X server: the time from exec to its window with the given title
// being mapped, and its peak memory then and a second later.
// Usage: quorvel-startup-probe "<title>" <program> [args...]
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

namespace {

long PeakKilobytes(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

bool HasTitle(Display* display, Window window, const char* title) {
  char* name = nullptr;
  const bool match = XFetchName(display, window, &name) && name && std::strcmp(name, title) == 0;
  if (name) XFree(name);
  return match;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s <title> <program> [args...]\n", argv[0]);
    return 2;
  }
  const char* title = argv[1];
  Display* display = XOpenDisplay(nullptr);
  if (!display) return 1;
  XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
  XSync(display, False);

  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) {
    execv(argv[2], argv + 2);
    _exit(127);
  }
  double shown_ms = -1;
  const auto shown = [&] {
    shown_ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  };
  while (shown_ms < 0 && std::chrono::steady_clock::now() - start < std::chrono::seconds(20)) {
    if (XPending(display) == 0) {  // waits at most 100 ms, so that the deadline holds
      pollfd connection{ConnectionNumber(display), POLLIN, 0};
      poll(&connection, 1, 100);
      continue;
    }
    XEvent event;
    XNextEvent(display, &event);
    if (event.type == CreateNotify) {
      const Window window = event.xcreatewindow.window;
      XSelectInput(display, window, StructureNotifyMask);
      XSync(display, False);
      // Mapped before the selection took effect: its MapNotify went to no one.
      XWindowAttributes attributes{};
      if (XGetWindowAttributes(display, window, &attributes) != 0 &&
          attributes.map_state != IsUnmapped && HasTitle(display, window, title)) {
        shown();
      }
    } else if (event.type == MapNotify && HasTitle(display, event.xmap.window, title)) {
      shown();
    }
  }
  const long peak_at_show = PeakKilobytes(child);
  usleep(1000000);
  const long peak_later = PeakKilobytes(child);
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  std::printf("shown_ms %.1f peak_kb_at_show %ld peak_kb_after_1s %ld\n", shown_ms, peak_at_show,
              peak_later);
  return shown_ms < 0 ? 1 : 0;
}
