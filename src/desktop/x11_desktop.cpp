#include "desktop/x11_desktop.h"

#include <X11/Xlib.h>
#include <xcb/xcb.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <optional>
#include <thread>
#include <vector>

#include "desktop/title_match.h"
#include "desktop/wine_front.h"
#include "desktop/x11_census.h"
#include "desktop/x11_connection.h"
#include "desktop/x11_keyboard.h"
#include "desktop/x11_ping.h"

namespace quorvel {
namespace {

// How long SendKeys waits for the window manager to carry out the last activation.
constexpr auto kActivationWait = std::chrono::milliseconds(1000);
constexpr auto kActivationPoll = std::chrono::milliseconds(10);
// How long a delivery with `wait` waits for the receiving program to answer a ping.
constexpr auto kClientWait = std::chrono::milliseconds(1000);
// How long the program that had the focus before an activation is given to handle its events.
constexpr auto kFormerFocusWait = std::chrono::milliseconds(250);
constexpr int kMaxTreeDepth = 64;
constexpr int kActivationFromTool = 2;  // EWMH source indication: a pager or similar tool

std::string HostName() {
  std::array<char, 256> host{};
  return gethostname(host.data(), host.size() - 1) == 0 ? host.data() : "";
}

}  // namespace

struct X11Desktop::Impl {
  X11Connection connection;
  X11Census census{connection};
  X11Keyboard keyboard{connection.XlibDisplay()};
  std::unordered_map<WindowHandle, X11Window> known;    // of the last census
  std::unordered_map<std::string, ProgramId> machines;  // the hosts seen, numbered
  xcb_window_t target = XCB_WINDOW_NONE;                // of the next SendKeys
  WineFront wine_front;
  const std::string host_name = HostName();       // this host, as WM_CLIENT_MACHINE names it
  std::size_t keys_delivered = 0;                 // of the last SendKeys
  xcb_window_t previous_focus = XCB_WINDOW_NONE;  // when the target was activated

  const X11Window& Known(WindowHandle window);
  ProgramId ProgramOf(const X11Window& window);
  bool WindowManagerActivates();
  xcb_window_t BoxOf(xcb_window_t window);
  bool Activate(xcb_window_t window);
  bool BelongsToTarget(xcb_window_t window);
  bool FocusBelongsToTarget();
  std::optional<bool> WineFrontOnTarget();
  bool TypeOneByOne(const std::vector<Key>& keys);
  bool KeyboardFree();
  bool WaitForFocusOnTarget();
  PingResult PingTargetTwice();
};

// The window as the last census saw it; one that came since is asked for now.
const X11Window& X11Desktop::Impl::Known(WindowHandle window) {
  auto it = known.find(window);
  if (it == known.end()) {
    it = known.emplace(window, Describe(connection, {static_cast<xcb_window_t>(window)}).front())
             .first;
  }
  return it->second;
}

// A process id tells a program only on the host it runs on: the host, numbered, goes with it.
ProgramId X11Desktop::Impl::ProgramOf(const X11Window& window) {
  if (window.pid == 0) return 0;
  const ProgramId host = machines.emplace(window.machine, machines.size()).first->second;
  return host << 32 | window.pid;
}

bool X11Desktop::Impl::WindowManagerActivates() {
  xcb_connection_t* c = connection.Xcb();
  const auto reply = Own(xcb_get_property_reply(
      c,
      xcb_get_property(c, 0, connection.Root(), connection.KnownAtoms().net_supported,
                       XCB_ATOM_ATOM, 0, 4096),
      nullptr));
  return Holds(reply.get(), connection.KnownAtoms().net_active_window);
}

bool X11Desktop::Impl::Activate(xcb_window_t window) {
  xcb_connection_t* c = connection.Xcb();
  // A window with a box open takes no input; the box does. The box is what is activated: a
  // window manager that does not know the box holds the window's input (Wine marks none modal)
  // would give the window the focus, and Wine, asked to focus a window that takes no input while
  // another program holds the foreground, focuses nothing.
  const xcb_window_t box = BoxOf(window);
  if (WindowManagerActivates()) {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = box != XCB_WINDOW_NONE ? box : window;
    event.type = connection.KnownAtoms().net_active_window;
    event.data.data32[0] = kActivationFromTool;
    event.data.data32[1] = XCB_CURRENT_TIME;
    return !Check(c, xcb_send_event_checked(
                         c, 0, connection.Root(),
                         XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                         reinterpret_cast<const char*>(&event)));
  }
  // With no window manager, activation is done here as a window manager would do it: the
  // window is raised, and the focus goes to the box it has open.
  const std::uint32_t above = XCB_STACK_MODE_ABOVE;
  xcb_configure_window(c, window, XCB_CONFIG_WINDOW_STACK_MODE, &above);
  if (box != XCB_WINDOW_NONE) xcb_configure_window(c, box, XCB_CONFIG_WINDOW_STACK_MODE, &above);
  const xcb_window_t focus = box != XCB_WINDOW_NONE ? box : window;
  // An unmapped window cannot take the focus.
  return !Check(c, xcb_set_input_focus_checked(c, XCB_INPUT_FOCUS_PARENT, focus, XCB_CURRENT_TIME));
}

// The topmost mapped top-level window that the window owns (its WM_TRANSIENT_FOR names the
// window) and that is marked modal or is a dialog; none when there is no such box. The census
// finds the owned windows, inside the window manager's frames too.
xcb_window_t X11Desktop::Impl::BoxOf(xcb_window_t window) {
  xcb_connection_t* c = connection.Xcb();
  struct Cookies {
    xcb_window_t window;
    xcb_get_window_attributes_cookie_t attributes;
    xcb_get_property_cookie_t state;
    xcb_get_property_cookie_t type;
  };
  std::vector<Cookies> cookies;
  for (const X11Window& seen : census.Take()) {  // every request first, then the replies
    if (seen.owner != window) continue;
    const auto id = static_cast<xcb_window_t>(seen.window);
    cookies.push_back(
        {id, xcb_get_window_attributes(c, id),
         xcb_get_property(c, 0, id, connection.KnownAtoms().net_wm_state, XCB_ATOM_ATOM, 0, 64),
         xcb_get_property(c, 0, id, connection.KnownAtoms().net_wm_window_type, XCB_ATOM_ATOM, 0,
                          1)});
  }
  xcb_window_t box = XCB_WINDOW_NONE;
  for (const Cookies& asked : cookies) {  // topmost first
    const auto attributes = Own(xcb_get_window_attributes_reply(c, asked.attributes, nullptr));
    const auto state = Own(xcb_get_property_reply(c, asked.state, nullptr));
    const auto type = Own(xcb_get_property_reply(c, asked.type, nullptr));
    const bool viewable = attributes != nullptr && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
    const bool modal = Holds(state.get(), connection.KnownAtoms().net_wm_state_modal) ||
                       Holds(type.get(), connection.KnownAtoms().net_wm_window_type_dialog);
    if (viewable && modal && box == XCB_WINDOW_NONE) box = asked.window;
  }
  return box;
}

// The window is the target, inside it, or a box the target owns (its WM_TRANSIENT_FOR names
// the target), or inside such a box.
bool X11Desktop::Impl::BelongsToTarget(xcb_window_t window) {
  xcb_connection_t* c = connection.Xcb();
  for (int depth = 0; depth < kMaxTreeDepth; ++depth) {
    if (window == XCB_WINDOW_NONE || window == XCB_INPUT_FOCUS_POINTER_ROOT ||
        window == connection.Root()) {
      return false;
    }
    if (window == target) return true;
    const auto owner_cookie =
        xcb_get_property(c, 0, window, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW, 0, 1);
    const auto tree_cookie = xcb_query_tree(c, window);
    const auto owner = Own(xcb_get_property_reply(c, owner_cookie, nullptr));
    const bool owned = Holds(owner.get(), target);  // the first value only was asked for
    const auto tree = Own(xcb_query_tree_reply(c, tree_cookie, nullptr));
    window = tree != nullptr ? tree->parent : xcb_window_t{XCB_WINDOW_NONE};
    if (owned) return true;
  }
  return false;
}

bool X11Desktop::Impl::FocusBelongsToTarget() {
  xcb_connection_t* c = connection.Xcb();
  const auto focus = Own(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
  return focus != nullptr && BelongsToTarget(focus->focus);
}

// Whether the window Wine holds in front, which gets the keys, belongs to the target; nothing
// where the target's program does not run under Wine on this host or its Wine cannot be asked.
std::optional<bool> X11Desktop::Impl::WineFrontOnTarget() {
  const X11Window& window = Known(target);
  if (window.pid == 0 || host_name.empty() || window.machine != host_name) return std::nullopt;
  const std::optional<std::uint32_t> front = wine_front.Ask(static_cast<pid_t>(window.pid));
  if (!front) return std::nullopt;
  return BelongsToTarget(*front);
}

// Wine hands a key to the window it holds in front when the program reads the key, and another
// Windows program can take that place without the X focus following: one that handles the
// window manager's WM_TAKE_FOCUS late, after the focus has moved on, takes Wine's front all the
// same. So the program that had the focus before the activation is let handle its events first,
// and each key goes alone, only while Wine's front is the target, once the one before it is read.
bool X11Desktop::Impl::TypeOneByOne(const std::vector<Key>& keys) {
  Display* display = connection.XlibDisplay();
  if (previous_focus != XCB_WINDOW_NONE && !BelongsToTarget(previous_focus)) {
    for (int ping = 0; ping < 2; ++ping) PingClient(connection, previous_focus, kFormerFocusWait);
  }
  for (std::size_t i = 0; i < keys.size(); ++i) {
    if (WineFrontOnTarget() != true) return false;
    XGrabServer(display);
    const bool typed = FocusBelongsToTarget() && KeyboardFree() && keyboard.Type({keys[i]});
    XUngrabServer(display);
    XSync(display, False);
    if (!typed) return false;
    ++keys_delivered;
    const PingResult read = PingTargetTwice();
    if (read == PingResult::kAnswered || read == PingResult::kGone) keyboard.KeysRead();
    // A target that the key closed takes no more; one that does not answer may not have read it.
    if (read == PingResult::kGone) return i + 1 == keys.size();
    if (read == PingResult::kNoAnswer) return false;
  }
  return true;
}

// No other client holds the keyboard (an open menu, a screen lock): keys would go to it.
bool X11Desktop::Impl::KeyboardFree() {
  Display* display = connection.XlibDisplay();
  if (XGrabKeyboard(display, DefaultRootWindow(display), False, GrabModeAsync, GrabModeAsync,
                    CurrentTime) != GrabSuccess) {
    return false;
  }
  XUngrabKeyboard(display, CurrentTime);
  return true;
}

bool X11Desktop::Impl::WaitForFocusOnTarget() {
  const auto deadline = std::chrono::steady_clock::now() + kActivationWait;
  while (!FocusBelongsToTarget()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(kActivationPoll);
  }
  return true;
}

// Answered: the target's program has handled every event sent to it before the first ping. One
// answered ping shows only that the program has taken the events from the server: Wine answers as
// it takes them and handles them later, from its own queue; it reads the server again once it has
// handled them. So a second ping follows the first answer.
PingResult X11Desktop::Impl::PingTargetTwice() {
  PingResult result = PingResult::kAnswered;
  for (int ping = 0; ping < 2 && result == PingResult::kAnswered; ++ping)
    result = PingClient(connection, target, kClientWait);
  return result;
}

X11Desktop::X11Desktop() : impl_(std::make_unique<Impl>()) {}

X11Desktop::~X11Desktop() = default;

std::vector<WindowHandle> X11Desktop::ListTopLevelWindows() {
  std::vector<X11Window> census = impl_->census.Take();
  impl_->known.clear();
  std::vector<WindowHandle> windows;
  windows.reserve(census.size());
  for (X11Window& window : census) {
    windows.push_back(window.window);
    impl_->known.emplace(window.window, std::move(window));
  }
  return windows;
}

std::string X11Desktop::WindowTitle(WindowHandle window) {
  return impl_->Known(window).title;
}

ProgramId X11Desktop::ProgramOf(WindowHandle window) {
  return impl_->ProgramOf(impl_->Known(window));
}

WindowHandle X11Desktop::OwnerOf(WindowHandle window) {
  return impl_->Known(window).owner;
}

bool X11Desktop::AppActivate(std::string_view title) {
  const std::vector<X11Window> census = impl_->census.Take();
  std::vector<std::string> titles;
  titles.reserve(census.size());
  for (const X11Window& window : census) titles.push_back(window.title);
  const auto match = MatchTitle(titles, title);
  return Activate(match ? census[*match].window : 0);
}

bool X11Desktop::Activate(WindowHandle window) {
  // A window that is gone has no attributes; the window manager would be asked in vain.
  xcb_connection_t* c = impl_->connection.Xcb();
  const auto target = static_cast<xcb_window_t>(window);
  const bool exists = target != XCB_WINDOW_NONE &&
                      Own(xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, target),
                                                          nullptr)) != nullptr;
  impl_->target = exists ? target : xcb_window_t{XCB_WINDOW_NONE};
  if (!exists) return false;
  const auto focus = Own(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
  const bool focused = focus != nullptr && focus->focus != XCB_INPUT_FOCUS_POINTER_ROOT;
  impl_->previous_focus = focused ? focus->focus : xcb_window_t{XCB_WINDOW_NONE};
  impl_->Activate(impl_->target);
  XFlush(impl_->connection.XlibDisplay());
  return true;
}

bool X11Desktop::SendKeys(const KeyString& keys, bool wait) {
  Impl& impl = *impl_;
  Display* display = impl.connection.XlibDisplay();
  impl.keys_delivered = 0;
  if (impl.target == XCB_WINDOW_NONE) return false;
  DiscardEvents(impl.connection);  // keymap changes announced since the last delivery
  // The window manager activates asynchronously; give it a moment before judging the focus.
  if (!impl.WaitForFocusOnTarget()) return false;
  // Wine gives keys to the window it holds in front, which follows the focus only once the
  // target's program has handled the focus it was given. A program that does not answer is sent
  // no key: the keys would wait for it.
  if (impl.PingTargetTwice() == PingResult::kNoAnswer) return false;
  if (!impl.keyboard.Prepare(keys.Keys())) return false;
  // Whether Wine is asked decides the way; TypeOneByOne asks again before each key, the first
  // too, once the program that had the focus has caught up.
  if (impl.WineFrontOnTarget().has_value()) return impl.TypeOneByOne(keys.Keys());
  // While the server is grabbed no other client runs, so nothing can take the focus between
  // the check and the last key.
  XGrabServer(display);
  bool delivered = impl.FocusBelongsToTarget() && impl.KeyboardFree();
  if (delivered) delivered = impl.keyboard.Type(keys.Keys());
  XUngrabServer(display);
  if (delivered) impl.keys_delivered = keys.Keys().size();
  if (wait) {
    XSync(display, False);
    // The server has handled the keys; where the program can say so, wait until it has read
    // them too (a box that the keys close is then gone before the next delivery looks).
    const PingResult read = delivered ? impl.PingTargetTwice() : PingResult::kNoAnswer;
    if (read == PingResult::kAnswered || read == PingResult::kGone) impl.keyboard.KeysRead();
  } else {
    XFlush(display);
  }
  return delivered;
}

std::size_t X11Desktop::KeysDelivered() const {
  return impl_->keys_delivered;
}

bool X11Desktop::RunCommand(const std::string& command, const std::string& argument) {
  // A shell starts the command in the background and ends at once, so the command runs on, a
  // child of nobody here. The operator's command may carry arguments of its own; the message goes
  // as "$1", never read as shell syntax.
  const char* args[] = {"/bin/sh",        "-c",   "$0 \"$1\" </dev/null &", command.c_str(),
                        argument.c_str(), nullptr};
  pid_t shell = 0;
  if (posix_spawn(&shell, "/bin/sh", nullptr, nullptr, const_cast<char* const*>(args), environ) !=
      0) {
    return false;
  }
  int status = 0;
  return waitpid(shell, &status, 0) == shell && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace quorvel
