// The X11 desktop port: the contract on a real display with a window manager, in windows that
// this test makes with Xlib (a window's _NET_WM_PID names its program, so another pid stands for
// another program); and the keycodes it types characters with (the keysyms of characters off the
// keymap are the port case's, which types them on a real keymap).
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <tuple>

#include "desktop_contract.h"
// Xlib's macros (None, Bool, Status) after GoogleTest's headers, which use those names.
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include "desktop/wine_front.h"
#include "desktop/x11_desktop.h"
#include "desktop/x11_keyboard.h"
#include "x11_key_event.h"

namespace quorvel {
namespace {

class X11Desk {
 public:
  ~X11Desk() {
    for (const Window window : open_) XDestroyWindow(display_, window);
    XCloseDisplay(display_);
  }
  DesktopPort& Port() { return desktop_; }
  WindowHandle Open(const std::string& title, WindowHandle owner, bool other_program) {
    const Window window =
        XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 300, 100, 0, 0, 0);
    XSelectInput(display_, window, KeyPressMask);
    char host[256] = "";
    gethostname(host, sizeof host - 1);
    const long pid = getpid() + (other_program ? 1 : 0);
    for (const auto& [name, type, format, data, count] :
         {std::tuple("_NET_WM_NAME", XInternAtom(display_, "UTF8_STRING", False), 8,
                     static_cast<const void*>(title.data()), title.size()),
          std::tuple("WM_CLIENT_MACHINE", XA_STRING, 8, static_cast<const void*>(host),
                     strlen(host)),
          std::tuple("_NET_WM_PID", XA_CARDINAL, 32, static_cast<const void*>(&pid), 1ul)}) {
      XChangeProperty(display_, window, XInternAtom(display_, name, False), type, format,
                      PropModeReplace, static_cast<const unsigned char*>(data),
                      static_cast<int>(count));
    }
    if (owner != 0) XSetTransientForHint(display_, window, owner);
    XMapWindow(display_, window);
    open_.insert(window);
    WaitForFocus(window);  // the window manager's, which would overtake a later one
    return window;
  }
  void Close(WindowHandle window) {
    XDestroyWindow(display_, window);
    XSync(display_, False);
    open_.erase(window);
  }
  void Focus(WindowHandle window) {
    XSetInputFocus(display_, window, RevertToParent, CurrentTime);
    WaitForFocus(window);
  }
  std::string Received(WindowHandle window) { return received_[window]; }
  bool ModifierHeld() {
    char keys[32];
    XQueryKeymap(display_, keys);
    return std::ranges::any_of(std::array{XK_Alt_L, XK_Alt_R, XK_Shift_L, XK_Shift_R},
                               [&](KeySym sym) {
                                 const KeyCode code = XKeysymToKeycode(display_, sym);
                                 return code != 0 && (keys[code / 8] & (1 << (code % 8)));
                               });
  }
  void Pump() {
    for (XEvent event; XPending(display_) > 0;) {
      XNextEvent(display_, &event);
      if (event.type == MappingNotify) XRefreshKeyboardMapping(&event.xmapping);
      if (event.type != KeyPress) continue;
      if (const auto key = TranslateKeyPress(event.xkey))
        received_[event.xkey.window] += key->spelling;
    }
  }

 private:
  void WaitForFocus(WindowHandle window) {
    XSync(display_, False);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    Window focus = None;
    for (int revert = 0; XGetInputFocus(display_, &focus, &revert),
             focus != window && std::chrono::steady_clock::now() < deadline;)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }

  Display* display_ = XOpenDisplay(nullptr);  // the test ends at the first use when there is none
  X11Desktop desktop_;
  std::set<Window> open_;
  std::map<WindowHandle, std::string> received_;
};

INSTANTIATE_TYPED_TEST_SUITE_P(X11, DesktopContract, X11Desk);

TEST(X11KeymapTest, TypesWithTheLowestKeycodeAndBorrowsTheLowestEmptyOne) {
  using Stroke = X11Keymap::Stroke;
  // Keycodes 8 to 11, plain and shifted: none, "9 (", none, and "(" as evdev's keypad has it.
  X11Keymap keymap{8, 2, {NoSymbol, NoSymbol, XK_9, XK_parenleft, 0, 0, XK_parenleft, 0}};
  EXPECT_EQ(keymap.Find(XK_parenleft), (Stroke{9, true}));
  EXPECT_EQ(keymap.LowestEmpty(), KeyCode{8});
  keymap.Set(8, XK_eacute);
  EXPECT_EQ(keymap.Find(XK_eacute), (Stroke{8, false}));
  EXPECT_EQ(keymap.LowestEmpty(), KeyCode{10});
}

std::string ReadAll(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

// Which window Wine holds in front, asked of the helper that the target's Wine loader runs; here
// the loaders are scripts, and the target a process with one in its environment, as Wine's
// programs have it.
TEST(WineFrontTest, AsksTheHelperThatTheTargetsLoaderRuns) {
  std::array<char, 40> folder_name{"/tmp/quorvel-wine-front.XXXXXX"};
  const std::string folder = mkdtemp(folder_name.data());
  std::ofstream(folder + "/quorvel-wine-front64.exe") << "";  // no 32-bit helper
  const struct {
    const char* loader;  // "": not a Wine program
    const char* script;  // its helper: one answers every question, until one answer is wrong
    std::vector<std::optional<std::uint32_t>> answers;
  } cases[] = {
      {"wine64",
       "n=41; while read -r l; do n=$((n + 1)); printf '%x\\r\\n' $n; done",
       {0x2a, 0x2b}},
      {"wine64", "true", {std::nullopt, std::nullopt}},
      {"wine64",
       "read -r l; echo 2g; while read -r l; do echo 2a; done",
       {std::nullopt, std::nullopt}},
      {"wine", "echo 2a", {std::nullopt}},
      {"", "", {std::nullopt}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.loader) + ": " + c.script);
    const std::string loader = folder + "/" + c.loader;
    if (*c.loader != '\0') {
      std::ofstream(loader) << "#!/bin/sh\n" << c.script << "\n";
      chmod(loader.c_str(), 0755);
    }
    std::string variable = "WINELOADER=" + loader;
    std::array<char*, 2> environment{*c.loader != '\0' ? variable.data() : nullptr, nullptr};
    std::array<char*, 3> arguments{const_cast<char*>("sleep"), const_cast<char*>("30"), nullptr};
    pid_t target = 0;
    ASSERT_EQ(
        posix_spawn(&target, "/bin/sleep", nullptr, nullptr, arguments.data(), environment.data()),
        0);
    const std::string given = *c.loader != '\0' ? variable + '\0' : "";
    for (int wait = 0;
         wait < 500 && ReadAll("/proc/" + std::to_string(target) + "/environ") != given; ++wait) {
      usleep(10000);  // until it has exec'd
    }
    {
      WineFront wine(folder);
      for (const std::optional<std::uint32_t>& answer : c.answers)
        EXPECT_EQ(wine.Ask(target), answer);
    }
    kill(target, SIGKILL);
    waitpid(target, nullptr, 0);
  }
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace quorvel
