// Opens many top-level windows on the X server, one of them titled "DeskScan II", for the census
// benchmark; prints "ready" once the window manager lists them all (each then has its frame, so
// the window tree no longer grows), then waits to be killed. Fails when the window manager has not
// listed them all within five minutes: a tree still growing makes every figure taken on it vary.
// Each window gives its own position, which the window manager keeps instead of searching for a
// free place, a search that grows with the windows already there.
// Usage: quorvel-many-windows [count]
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

long ListedClients(Display* display) {
  const Atom list = XInternAtom(display, "_NET_CLIENT_LIST_STACKING", False);
  Atom type;
  int format;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(display, DefaultRootWindow(display), list, 0, 1L << 20, False, XA_WINDOW,
                         &type, &format, &count, &after, &data) != Success) {
    return 0;
  }
  if (data) XFree(data);
  return static_cast<long>(count);
}

}  // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::atoi(argv[1]) : 1000;
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "cannot open the display\n");
    return 1;
  }
  const long before = ListedClients(display);
  const Atom net_wm_name = XInternAtom(display, "_NET_WM_NAME", False);
  const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
  for (int i = 0; i < count; ++i) {
    const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), (i % 40) * 20,
                                              (i / 40) * 20, 40, 20, 0, 0, 0xFFFFFF);
    const std::string title = i == count / 2 ? "DeskScan II" : "Bench window " + std::to_string(i);
    XSizeHints hints{};
    hints.flags = USPosition;
    hints.x = (i % 40) * 20;
    hints.y = (i / 40) * 20;
    XSetWMNormalHints(display, window, &hints);
    XStoreName(display, window, title.c_str());
    XChangeProperty(display, window, net_wm_name, utf8, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title.data()),
                    static_cast<int>(title.size()));
    XMapWindow(display, window);
  }
  XSync(display, False);
  for (int wait = 0; wait < 6000 && ListedClients(display) < before + count; ++wait) usleep(50000);
  const long listed = ListedClients(display);
  if (listed < before + count) {
    std::fprintf(stderr, "the window manager lists %ld of %d windows after five minutes\n",
                 listed - before, count);
    return 1;
  }
  std::printf("ready %ld\n", listed);
  std::fflush(stdout);
  for (;;) pause();
}
