// One connection to the X server, seen through both Xlib (XTest, the keymap) and XCB (requests
// that are pipelined or that may fail: their errors come back as replies instead of reaching a
// process-wide Xlib error handler).
#pragma once

#include <X11/Xlib.h>
#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>
#include <string>

namespace quorvel {

class X11Connection {
 public:
  // Opens $DISPLAY; throws std::runtime_error when it cannot.
  X11Connection();
  ~X11Connection();
  X11Connection(const X11Connection&) = delete;
  X11Connection& operator=(const X11Connection&) = delete;

  Display* XlibDisplay() const { return display_; }
  xcb_connection_t* Xcb() const { return xcb_; }
  xcb_window_t Root() const { return root_; }

  struct Atoms {
    xcb_atom_t net_client_list_stacking;
    xcb_atom_t net_wm_name;
    xcb_atom_t utf8_string;
    xcb_atom_t net_active_window;
    xcb_atom_t net_supported;
    xcb_atom_t compound_text;
    xcb_atom_t wm_protocols;
    xcb_atom_t net_wm_ping;
    xcb_atom_t net_wm_state;
    xcb_atom_t net_wm_state_modal;
    xcb_atom_t net_wm_pid;
    xcb_atom_t net_wm_window_type;
    xcb_atom_t net_wm_window_type_dialog;
  };
  const Atoms& KnownAtoms() const { return atoms_; }

 private:
  Display* display_ = nullptr;
  xcb_connection_t* xcb_ = nullptr;
  xcb_window_t root_ = 0;
  Atoms atoms_{};
};

// A reply or an error of XCB, which the caller owns and frees when it goes out of scope.
struct FreeReply {
  void operator()(void* reply) const { std::free(reply); }
};
template <typename T>
using Reply = std::unique_ptr<T, FreeReply>;
template <typename T>
Reply<T> Own(T* reply) {
  return Reply<T>(reply);
}
// The error of a checked request; null when it succeeded.
inline Reply<xcb_generic_error_t> Check(xcb_connection_t* c, xcb_void_cookie_t cookie) {
  return Own(xcb_request_check(c, cookie));
}

// A window title from the reply to a WM_NAME or _NET_WM_NAME request, as UTF-8; empty when the
// reply is missing or holds no text. Takes ownership of the reply.
std::string TitleFromReply(X11Connection& connection, xcb_get_property_reply_t* reply);

// The 32-bit values (atoms or windows) that a property reply holds; none when the reply is
// missing or of another format. The reply still owns them.
std::span<const std::uint32_t> Values32(const xcb_get_property_reply_t* reply);

// The reply holds the value among its 32-bit values.
bool Holds(const xcb_get_property_reply_t* reply, std::uint32_t value);

}  // namespace quorvel
