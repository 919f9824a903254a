#include "desktop/x11_ping.h"

#include <X11/Xatom.h>
#include <poll.h>

#include <cstdint>
#include <cstdlib>
#include <optional>

namespace quorvel {
namespace {

// Whether the window lists _NET_WM_PING among its protocols; none when the window is gone.
std::optional<bool> SupportsPing(X11Connection& connection, xcb_window_t window,
                                 xcb_atom_t protocols, xcb_atom_t ping) {
  xcb_connection_t* c = connection.Xcb();
  xcb_generic_error_t* error = nullptr;
  const auto reply = Own(xcb_get_property_reply(
      c, xcb_get_property(c, 0, window, protocols, XCB_ATOM_ATOM, 0, 64), &error));
  if (Own(error)) return std::nullopt;
  return Holds(reply.get(), ping);
}

// Selects the events of the window's own structure (its end among them), or none again; false
// when the window is gone.
bool WatchWindow(X11Connection& connection, xcb_window_t window, bool watch) {
  const std::uint32_t mask = watch ? XCB_EVENT_MASK_STRUCTURE_NOTIFY : XCB_EVENT_MASK_NO_EVENT;
  return !Check(connection.Xcb(), xcb_change_window_attributes_checked(connection.Xcb(), window,
                                                                       XCB_CW_EVENT_MASK, &mask));
}

}  // namespace

PingResult PingClient(X11Connection& connection, xcb_window_t window,
                      std::chrono::milliseconds limit) {
  static std::uint32_t serial = 0;
  const xcb_atom_t protocols = connection.KnownAtoms().wm_protocols;
  const xcb_atom_t ping = connection.KnownAtoms().net_wm_ping;
  const std::optional<bool> supported = SupportsPing(connection, window, protocols, ping);
  if (!supported) return PingResult::kGone;
  if (!*supported) return PingResult::kNotSupported;

  Display* display = connection.XlibDisplay();
  const Window root = DefaultRootWindow(display);
  // A window that the keys just sent close may never answer: its end is a result too.
  if (!WatchWindow(connection, window, true)) return PingResult::kGone;
  // The answer goes to the root window, to those who listen for its children's changes.
  XSelectInput(display, root, SubstructureNotifyMask);
  xcb_client_message_event_t event{};
  event.response_type = XCB_CLIENT_MESSAGE;
  event.format = 32;
  event.window = window;
  event.type = protocols;
  event.data.data32[0] = ping;
  event.data.data32[1] = ++serial;  // echoed back: tells our answer apart
  event.data.data32[2] = window;
  // Checked, so that a window closed by the keys just sent is a result, not an X error.
  PingResult result =
      Check(connection.Xcb(),
            xcb_send_event_checked(connection.Xcb(), 0, window, XCB_EVENT_MASK_NO_EVENT,
                                   reinterpret_cast<const char*>(&event)))
          ? PingResult::kGone
          : PingResult::kNoAnswer;
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (result == PingResult::kNoAnswer && std::chrono::steady_clock::now() < deadline) {
    while (XPending(display) > 0) {
      XEvent answer;
      XNextEvent(display, &answer);
      if (answer.type == ClientMessage && answer.xclient.message_type == protocols &&
          answer.xclient.data.l[0] == static_cast<long>(ping) &&
          static_cast<std::uint32_t>(answer.xclient.data.l[1]) == serial) {
        result = PingResult::kAnswered;
      } else if (answer.type == DestroyNotify && answer.xdestroywindow.window == window) {
        result = PingResult::kGone;
      }
    }
    if (result == PingResult::kNoAnswer) {
      pollfd socket{ConnectionNumber(display), POLLIN, 0};
      poll(&socket, 1, 5);
    }
  }
  XSelectInput(display, root, NoEventMask);
  WatchWindow(connection, window, false);
  DiscardEvents(connection);
  return result;
}

void DiscardEvents(X11Connection& connection) {
  Display* display = connection.XlibDisplay();
  XSync(display, False);
  while (XPending(display) > 0) {
    XEvent event;
    XNextEvent(display, &event);
  }
}

}  // namespace quorvel
