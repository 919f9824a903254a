// A bystander for the focus-theft test: a window titled "Terminal" (or as told) that logs every
// key it receives and, a set number of times, takes the focus the moment a window whose title
// begins with one of the given texts is activated by another program.
//   quorvel-focus-thief --log FILE [--times N] [--hold-ms MS] [--title T] [--steal-from TITLE]...
// --hold-ms: after each theft, take the focus back whenever it leaves, for that long.
// --grab-keyboard-ms: hold the keyboard from the start for that long, as an open menu does.
// --save-as: "another program" with a "Save As" dialog of its own beside its window, which logs
// the keys it receives and each save made through it (Alt+S or Enter) with the name typed.
// Both windows carry the program's _NET_WM_PID, as toolkits set it.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "common/utf8.h"
#include "event_log.h"
#include "tool_options.h"
#include "x11_key_event.h"

using namespace quorvel;

namespace {

volatile std::sig_atomic_t g_stop = 0;

void OnSignal(int) {
  g_stop = 1;
}

std::string TitleOf(Display* display, Window window) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::string title;
  if (XGetWindowProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False), 0, 1024,
                         False, XInternAtom(display, "UTF8_STRING", False), &type, &format, &count,
                         &after, &data) == Success &&
      data != nullptr) {
    title.assign(reinterpret_cast<char*>(data), count);
  }
  if (data != nullptr) XFree(data);
  char* name = nullptr;
  if (title.empty() && XFetchName(display, window, &name) != 0 && name != nullptr) {
    title = name;
    XFree(name);
  }
  return title;
}

// A window may go away while it is asked about.
int IgnoreErrors(Display*, XErrorEvent*) {
  return 0;
}

// Takes the focus for its own window, directly and through the window manager.
void TakeFocus(Display* display, Window window, Atom active_atom) {
  XRaiseWindow(display, window);
  XSetInputFocus(display, window, RevertToParent, CurrentTime);
  XEvent message{};
  message.xclient.type = ClientMessage;
  message.xclient.window = window;
  message.xclient.message_type = active_atom;
  message.xclient.format = 32;
  message.xclient.data.l[0] = 2;
  XSendEvent(display, DefaultRootWindow(display), False,
             SubstructureRedirectMask | SubstructureNotifyMask, &message);
  XFlush(display);
}

// A top-level window titled `title`, of this program; transient for `owner` when there is one.
Window OpenWindow(Display* display, const std::string& title, int y, Window owner) {
  XSetWindowAttributes attributes{};
  attributes.background_pixel = BlackPixel(display, DefaultScreen(display));
  attributes.event_mask = KeyPressMask | FocusChangeMask;
  const Window window =
      XCreateWindow(display, DefaultRootWindow(display), 10, y, 360, 120, 0, CopyFromParent,
                    InputOutput, CopyFromParent, CWBackPixel | CWEventMask, &attributes);
  XWMHints hints{};
  hints.flags = InputHint;
  hints.input = True;
  Xutf8SetWMProperties(display, window, title.c_str(), title.c_str(), nullptr, 0, nullptr, &hints,
                       nullptr);
  const long pid = getpid();
  XChangeProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL, 32,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(&pid), 1);
  if (owner != None) XSetTransientForHint(display, window, owner);
  XMapWindow(display, window);
  return window;
}

bool HasFocus(Display* display, Window window) {
  Window focus = None;
  int revert = 0;
  XGetInputFocus(display, &focus, &revert);
  return focus == window;
}

}  // namespace

int main(int argc, char** argv) {
  std::string log_path, title = "Terminal";
  int times = 1;
  bool with_dialog = false;
  std::int64_t hold_ms = 0, grab_ms = 0;
  std::vector<std::string> victims;
  const ToolOption options[] = {{"--log", &log_path},       {"--times", &times},
                                {"--hold-ms", &hold_ms},    {"--grab-keyboard-ms", &grab_ms},
                                {"--title", &title},        {"--steal-from", &victims},
                                {"--save-as", &with_dialog}};
  ReadToolOptionsOrExit({argv + 1, argv + argc}, options, "quorvel-focus-thief");
  EventLog log(log_path);
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return 1;
  XSetErrorHandler(IgnoreErrors);
  std::signal(SIGTERM, OnSignal);
  std::signal(SIGINT, OnSignal);
  const Window root = DefaultRootWindow(display);
  // Activation requests to the window manager are seen as they are sent: the thief strikes
  // when another program activates a window, not when a window merely pops up.
  XSelectInput(display, root, SubstructureNotifyMask);
  const Window window = OpenWindow(display, title, 600, None);
  const Window dialog = with_dialog ? OpenWindow(display, "Save As", 450, window) : None;
  std::string typed;  // the dialog's name field
  XFlush(display);
  const Atom active_atom = XInternAtom(display, "_NET_ACTIVE_WINDOW", False);
  using Clock = std::chrono::steady_clock;
  Clock::time_point hold_until{};

  const auto steal_if_victim = [&](Window target) {
    if (times <= 0 || target == None || target == window || Clock::now() < hold_until) return;
    const std::string target_title = TitleOf(display, target);
    for (const std::string& victim : victims) {
      if (!target_title.starts_with(victim)) continue;
      TakeFocus(display, window, active_atom);
      log.Line("steal", target_title);
      --times;
      hold_until = Clock::now() + std::chrono::milliseconds(hold_ms);
      return;
    }
  };

  Clock::time_point grab_until{};
  if (grab_ms > 0) {
    // Holds the keyboard as an open menu would; the window must be viewable first.
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    int status = GrabNotViewable;
    while ((status = XGrabKeyboard(display, window, False, GrabModeAsync, GrabModeAsync,
                                   CurrentTime)) != GrabSuccess &&
           Clock::now() < deadline) {
      poll(nullptr, 0, 10);
    }
    // The test waits for this line: it must only say "grab" once the keyboard is really held.
    log.Line(status == GrabSuccess ? "grab" : "grab-failed-" + std::to_string(status), title);
    grab_until = Clock::now() + std::chrono::milliseconds(grab_ms);
  }

  while (g_stop == 0) {
    if (grab_ms > 0 && Clock::now() >= grab_until) {
      XUngrabKeyboard(display, CurrentTime);
      XFlush(display);
      log.Line("ungrab", title);
      grab_ms = 0;
    }
    while (XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == MappingNotify) {
        XRefreshKeyboardMapping(&event.xmapping);
      } else if (event.type == KeyPress && event.xkey.window == dialog && dialog != None) {
        const auto key = TranslateKeyPress(event.xkey);
        if (!key) continue;
        log.Line("key", "Save As", key->spelling);
        if (!key->key) continue;
        const Key& k = *key->key;
        if (k.kind == Key::Kind::kEnter ||
            (k.kind == Key::Kind::kAltChord && k.character == U's')) {
          log.Line("save", typed);
          typed.clear();
        } else if (k.kind == Key::Kind::kAltChord && k.character == U'n') {
          typed.clear();  // the name field, selected: typing replaces it
        } else if (k.kind == Key::Kind::kCharacter) {
          AppendUtf8(typed, k.character);
        }
      } else if (event.type == KeyPress) {
        if (const auto key = TranslateKeyPress(event.xkey)) log.Line("key", title, key->spelling);
      } else if (event.type == ClientMessage && event.xclient.message_type == active_atom) {
        steal_if_victim(event.xclient.window);
      }
    }
    const bool holding = Clock::now() < hold_until;
    if (holding && !HasFocus(display, window)) TakeFocus(display, window, active_atom);
    pollfd connection{ConnectionNumber(display), POLLIN, 0};
    poll(&connection, 1, holding ? 1 : 50);
  }
  if (dialog != None) XDestroyWindow(display, dialog);
  XDestroyWindow(display, window);
  XCloseDisplay(display);
  return 0;
}
