#include "desktop/x11_connection.h"

#include <X11/Xatom.h>
#include <X11/Xlib-xcb.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string_view>

#include "common/utf8.h"

namespace quorvel {

X11Connection::X11Connection() {
  display_ = XOpenDisplay(nullptr);
  if (display_ == nullptr) {
    const char* name = std::getenv("DISPLAY");
    throw std::runtime_error(std::string("cannot connect to the X display \"") +
                             (name != nullptr ? name : "") + "\"");
  }
  xcb_ = XGetXCBConnection(display_);
  root_ = static_cast<xcb_window_t>(DefaultRootWindow(display_));
  // All atoms in one round trip.
  const char* names[] = {"_NET_CLIENT_LIST_STACKING",
                         "_NET_WM_NAME",
                         "UTF8_STRING",
                         "_NET_ACTIVE_WINDOW",
                         "_NET_SUPPORTED",
                         "COMPOUND_TEXT",
                         "WM_PROTOCOLS",
                         "_NET_WM_PING",
                         "_NET_WM_STATE",
                         "_NET_WM_STATE_MODAL",
                         "_NET_WM_PID",
                         "_NET_WM_WINDOW_TYPE",
                         "_NET_WM_WINDOW_TYPE_DIALOG"};
  xcb_intern_atom_cookie_t cookies[std::size(names)];
  for (std::size_t i = 0; i < std::size(names); ++i) {
    cookies[i] = xcb_intern_atom(
        xcb_, 0, static_cast<std::uint16_t>(std::string_view(names[i]).size()), names[i]);
  }
  xcb_atom_t* slots[] = {&atoms_.net_client_list_stacking,
                         &atoms_.net_wm_name,
                         &atoms_.utf8_string,
                         &atoms_.net_active_window,
                         &atoms_.net_supported,
                         &atoms_.compound_text,
                         &atoms_.wm_protocols,
                         &atoms_.net_wm_ping,
                         &atoms_.net_wm_state,
                         &atoms_.net_wm_state_modal,
                         &atoms_.net_wm_pid,
                         &atoms_.net_wm_window_type,
                         &atoms_.net_wm_window_type_dialog};
  for (std::size_t i = 0; i < std::size(names); ++i) {
    const auto reply = Own(xcb_intern_atom_reply(xcb_, cookies[i], nullptr));
    *slots[i] = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
  }
}

X11Connection::~X11Connection() {
  XCloseDisplay(display_);
}

std::string TitleFromReply(X11Connection& connection, xcb_get_property_reply_t* reply) {
  const auto owned = Own(reply);
  if (reply == nullptr || reply->format != 8 || reply->type == XCB_ATOM_NONE) return {};
  const auto* bytes = static_cast<const char*>(xcb_get_property_value(reply));
  const std::string_view raw(bytes, static_cast<std::size_t>(xcb_get_property_value_length(reply)));
  if (reply->type == connection.KnownAtoms().utf8_string) return std::string(raw);
  if (reply->type == XCB_ATOM_STRING) {  // Latin-1
    std::string text;
    for (char c : raw) AppendUtf8(text, static_cast<unsigned char>(c));
    return text;
  }
  if (reply->type == connection.KnownAtoms().compound_text) {
    XTextProperty property{
        const_cast<unsigned char*>(reinterpret_cast<const unsigned char*>(raw.data())),
        static_cast<Atom>(reply->type), 8, static_cast<unsigned long>(raw.size())};
    char** list = nullptr;
    int count = 0;
    std::string text;
    if (Xutf8TextPropertyToTextList(connection.XlibDisplay(), &property, &list, &count) >=
            Success &&
        list != nullptr) {
      for (int i = 0; i < count; ++i) text += list[i];
      XFreeStringList(list);
    }
    return text;
  }
  return {};
}

std::span<const std::uint32_t> Values32(const xcb_get_property_reply_t* reply) {
  if (reply == nullptr || reply->format != 32) return {};
  auto* readable = const_cast<xcb_get_property_reply_t*>(reply);  // xcb's accessors read only
  const int count = xcb_get_property_value_length(readable) / 4;
  return {static_cast<const std::uint32_t*>(xcb_get_property_value(readable)),
          static_cast<std::size_t>(count)};
}

bool Holds(const xcb_get_property_reply_t* reply, std::uint32_t value) {
  const std::span<const std::uint32_t> values = Values32(reply);
  return std::find(values.begin(), values.end(), value) != values.end();
}

}  // namespace quorvel
