// Waiting until another program has handled the events sent to it. The X server only orders
// events; whether the receiving program has read them is known only from the program itself.
// A window that lists _NET_WM_PING among its WM_PROTOCOLS answers a ping once it reaches it in
// its event queue, so after the answer every key sent before the ping has been handled.
#pragma once

#include <chrono>

#include "desktop/x11_connection.h"

namespace quorvel {

// kGone: the window no longer exists (the keys just sent may have closed it).
enum class PingResult { kAnswered, kNoAnswer, kNotSupported, kGone };

PingResult PingClient(X11Connection& connection, xcb_window_t window,
                      std::chrono::milliseconds limit);

// Drops the events queued on the connection (the port selects none for long, but the server
// sends every client a MappingNotify when the keymap changes).
void DiscardEvents(X11Connection& connection);

}  // namespace quorvel
