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

#include <string>
#include <unordered_map>
#include <vector>

#include "desktop/desktop_port.h"
#include "desktop/x11_connection.h"

namespace quorvel {

struct X11Window {
  WindowHandle window;
  std::string title;
};

class X11Census {
 public:
  explicit X11Census(X11Connection& connection) : connection_(connection) {}

  // Takes a census: four round trips to the server at most, whatever the number of windows.
  std::vector<X11Window> Take();

 private:
  X11Connection& connection_;
};

// The titles of many windows, requested all at once and then collected; "" for a window that
// is gone or has no title.
std::vector<std::string> FetchTitles(X11Connection& connection,
                                     const std::vector<xcb_window_t>& windows);

}  // namespace quorvel
