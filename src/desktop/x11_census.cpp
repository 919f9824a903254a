#include "desktop/x11_census.h"

#include <unordered_set>

namespace quorvel {
namespace {

constexpr std::uint32_t kTitleLongs = 1024;          // titles up to 4 KiB
constexpr std::uint32_t kWindowListLongs = 1 << 20;  // any plausible number of clients

}  // namespace

std::vector<X11Window> Describe(X11Connection& connection,
                                const std::vector<xcb_window_t>& windows) {
  xcb_connection_t* c = connection.Xcb();
  const auto& atoms = connection.KnownAtoms();
  // First the UTF-8 titles, the programs and the owners of all; then WM_NAME of those without a
  // UTF-8 title, usually few.
  struct Cookies {
    xcb_get_property_cookie_t title, pid, machine, owner;
  };
  std::vector<Cookies> cookies(windows.size());
  for (std::size_t i = 0; i < windows.size(); ++i) {
    const xcb_window_t w = windows[i];
    cookies[i] = {xcb_get_property(c, 0, w, atoms.net_wm_name, atoms.utf8_string, 0, kTitleLongs),
                  xcb_get_property(c, 0, w, atoms.net_wm_pid, XCB_ATOM_CARDINAL, 0, 1),
                  xcb_get_property(c, 0, w, XCB_ATOM_WM_CLIENT_MACHINE, XCB_GET_PROPERTY_TYPE_ANY,
                                   0, kTitleLongs),
                  xcb_get_property(c, 0, w, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW, 0, 1)};
  }
  std::vector<X11Window> described(windows.size());
  std::vector<std::size_t> untitled;
  for (std::size_t i = 0; i < windows.size(); ++i) {
    // Errors (a window gone meanwhile) come back in place of the reply and are dropped.
    X11Window& window = described[i];
    window.window = windows[i];
    window.title = TitleFromReply(connection, xcb_get_property_reply(c, cookies[i].title, nullptr));
    const auto pid = Own(xcb_get_property_reply(c, cookies[i].pid, nullptr));
    const auto pids = Values32(pid.get());
    window.pid = pids.empty() ? 0 : pids.front();
    window.machine =
        TitleFromReply(connection, xcb_get_property_reply(c, cookies[i].machine, nullptr));
    const auto owner = Own(xcb_get_property_reply(c, cookies[i].owner, nullptr));
    const auto owners = Values32(owner.get());
    window.owner = owners.empty() ? 0 : owners.front();
    if (window.title.empty()) untitled.push_back(i);
  }
  for (std::size_t i : untitled) {
    cookies[i].title = xcb_get_property(c, 0, windows[i], XCB_ATOM_WM_NAME,
                                        XCB_GET_PROPERTY_TYPE_ANY, 0, kTitleLongs);
  }
  for (std::size_t i : untitled) {
    described[i].title =
        TitleFromReply(connection, xcb_get_property_reply(c, cookies[i].title, nullptr));
  }
  return described;
}

std::vector<X11Window> X11Census::Take() {
  xcb_connection_t* c = connection_.Xcb();
  const xcb_window_t root = connection_.Root();

  // Round trip 1: the window manager's stacking list and the root's children.
  const auto stacking_cookie =
      xcb_get_property(c, 0, root, connection_.KnownAtoms().net_client_list_stacking,
                       XCB_ATOM_WINDOW, 0, kWindowListLongs);
  const auto tree_cookie = xcb_query_tree(c, root);
  auto stacking = Own(xcb_get_property_reply(c, stacking_cookie, nullptr));
  auto tree = Own(xcb_query_tree_reply(c, tree_cookie, nullptr));

  std::vector<xcb_window_t> clients;  // topmost first
  const bool managed =
      stacking != nullptr && stacking->type == XCB_ATOM_WINDOW && stacking->format == 32;
  if (managed) {
    const auto list = Values32(stacking.get());
    clients.assign(list.rbegin(), list.rend());
  }
  std::vector<xcb_window_t> others;  // the root's children outside the list, topmost first
  if (tree != nullptr) {
    const std::unordered_set<xcb_window_t> known(clients.begin(), clients.end());
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    for (int i = xcb_query_tree_children_length(tree.get()) - 1; i >= 0; --i) {
      if (!known.contains(children[i])) others.push_back(children[i]);
    }
  }
  if (!managed) {
    return Describe(connection_, others);
  }

  // Which of the other root children are unmapped client windows (withdrawn or never shown).
  std::vector<xcb_get_window_attributes_cookie_t> attribute_cookies;
  attribute_cookies.reserve(others.size());
  for (xcb_window_t w : others) attribute_cookies.push_back(xcb_get_window_attributes(c, w));
  const std::size_t client_count = clients.size();
  std::vector<xcb_window_t> windows = std::move(clients);
  for (std::size_t i = 0; i < others.size(); ++i) {
    auto attributes = Own(xcb_get_window_attributes_reply(c, attribute_cookies[i], nullptr));
    if (attributes != nullptr && attributes->map_state == XCB_MAP_STATE_UNMAPPED &&
        !attributes->override_redirect) {
      windows.push_back(others[i]);
    }
  }
  std::vector<X11Window> described = Describe(connection_, windows);

  std::vector<X11Window> census;
  census.reserve(windows.size());
  for (std::size_t i = 0; i < windows.size(); ++i) {
    // Of the unmapped ones, only those with a title count as windows of a program.
    if (i < client_count || !described[i].title.empty()) census.push_back(std::move(described[i]));
  }
  return census;
}

}  // namespace quorvel
