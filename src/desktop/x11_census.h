// The census of the desktop's top-level windows, topmost first, with the titles of all of them
// fetched as one pipelined batch of requests.
//
// Which windows: the clients the window manager keeps in _NET_CLIENT_LIST_STACKING (minimised
// ones and those on other workspaces included), topmost first; then the withdrawn or never-shown
// client windows among the root's children that carry a title, which is how far X lets "hidden
// windows" be seen. The window manager's frames and mapped override-redirect windows (menus,
// tooltips) are not top-level application windows and are left out. Without a window manager
// that keeps the list, the root's children are the census, topmost first.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "desktop/desktop_port.h"
#include "desktop/x11_connection.h"

namespace quorvel {

// A top-level window as the census sees it, with what its program says of itself.
struct X11Window {
  WindowHandle window;
  std::string title;
  std::uint32_t pid = 0;   // _NET_WM_PID; 0 when the client sets none
  std::string machine;     // WM_CLIENT_MACHINE, the host the pid is of
  WindowHandle owner = 0;  // WM_TRANSIENT_FOR
};

class X11Census {
 public:
  explicit X11Census(X11Connection& connection) : connection_(connection) {}

  // Takes a census: four round trips to the server at most, whatever the number of windows.
  std::vector<X11Window> Take();

 private:
  X11Connection& connection_;
};

// The titles, programs and owners of many windows, requested all at once and then collected: two
// round trips whatever their number. A title "" for a window that is gone or has none.
std::vector<X11Window> Describe(X11Connection& connection,
                                const std::vector<xcb_window_t>& windows);

}  // namespace quorvel
