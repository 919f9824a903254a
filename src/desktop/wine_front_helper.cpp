// A small Windows program that the Linux program runs in the Wine of the scanning application.
// For every line it reads, it writes the X window of the window that Wine holds in front, in
// hex, or 0 when Wine holds none there; it ends with its input. Wine gives the keys it receives
// to that window, and a Windows program the operator works in can take that place without the X
// focus following, which only Wine itself can tell.
#include <windows.h>

#include <cstdio>

int main() {
  char line[16];
  while (std::fgets(line, sizeof line, stdin) != nullptr) {
    // Wine's X11 driver keeps each top-level window's X window in this property.
    const auto x_window =
        reinterpret_cast<ULONG_PTR>(GetPropA(GetForegroundWindow(), "__wine_x11_whole_window"));
    std::printf("%lx\n", static_cast<unsigned long>(x_window));
    std::fflush(stdout);
  }
  return 0;
}
