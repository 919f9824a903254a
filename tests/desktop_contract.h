// The desktop port's contract, held by every realisation: the simulated desktop (the unit tests),
// X11 under Xvfb with a window manager, and Win32 under Wine. Each test program instantiates the
// suite with a Desk of its own, which makes windows and watches them from outside the port:
//
//   DesktopPort& Port();
//   // A shown top-level window with this title that has taken the focus; `owner` makes it a box
//   // of that window (of the same program), `other_program` a window of another program.
//   WindowHandle Open(const std::string& title, WindowHandle owner, bool other_program);
//   void Close(WindowHandle window);
//   void Focus(WindowHandle window);  // as the operator would, not through the port
//   std::string Received(WindowHandle window);  // the characters typed into it, "%n" for Alt+N
//   bool ModifierHeld();  // Alt or Shift is down
//   void Pump();  // handles the desk's own pending events (keys that reached its windows)
//
// Desktops that work asynchronously are waited for with a time limit, never for a guessed while;
// a key that should not arrive is shown absent by a later key that does.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "desktop/desktop_port.h"

namespace quorvel {

template <class Desk>
class DesktopContract : public ::testing::Test {
 protected:
  // Pumps until `done` holds, for five seconds at most.
  bool WaitFor(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    for (desk_.Pump(); !done(); desk_.Pump()) {
      if (std::chrono::steady_clock::now() >= deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
  }
  bool Listed(WindowHandle window) {
    const std::vector<WindowHandle> windows = port_.ListTopLevelWindows();
    return std::find(windows.begin(), windows.end(), window) != windows.end();
  }
  WindowHandle Open(const std::string& title, WindowHandle owner = 0, bool other = false) {
    return desk_.Open(title, owner, other);
  }
  // Sends the keys to the target of the last activation; then the window holds `expected`.
  void Types(const KeyString& keys, WindowHandle window, const std::string& expected) {
    ASSERT_TRUE(port_.SendKeys(keys, true));
    EXPECT_TRUE(WaitFor([&] { return desk_.Received(window) == expected; }))
        << desk_.Received(window);
  }

  Desk desk_;
  DesktopPort& port_ = desk_.Port();
};

TYPED_TEST_SUITE_P(DesktopContract);

// Every window is listed with its title while it is there; a box names its owner and shares its
// program, another window of the program has the same one, another program's window another.
// A window gone is not listed and has no title, owner or program.
TYPED_TEST_P(DesktopContract, ListsWindowsWithTitleOwnerAndProgramWhileTheyAreThere) {
  DesktopPort& port = this->port_;
  const std::string title = "Quorvel contract caf\u00e9 \u00e8";
  const WindowHandle main = this->Open(title);
  const WindowHandle box = this->Open("Quorvel contract box", main);
  const WindowHandle second = this->Open("Quorvel contract second");
  const WindowHandle other = this->Open("Quorvel contract other", 0, true);
  for (const WindowHandle window : {main, box, second, other}) EXPECT_TRUE(this->Listed(window));
  EXPECT_EQ(port.WindowTitle(main), title);
  EXPECT_EQ(port.OwnerOf(box), main);
  EXPECT_EQ(port.OwnerOf(main), 0u);
  const ProgramId program = port.ProgramOf(main);
  EXPECT_NE(program, 0u);
  EXPECT_EQ(port.ProgramOf(box), program);
  EXPECT_EQ(port.ProgramOf(second), program);
  EXPECT_NE(port.ProgramOf(other), program);
  EXPECT_NE(port.ProgramOf(other), 0u);
  this->desk_.Close(box);
  this->desk_.Close(other);
  EXPECT_TRUE(this->WaitFor([&] { return !this->Listed(box) && !this->Listed(other); }));
  EXPECT_EQ(port.WindowTitle(box) + port.WindowTitle(other), "");
  EXPECT_EQ(port.OwnerOf(box) + port.ProgramOf(other), 0u);
}

// The exact title wins over one that begins with it, whichever opened first; else the title that
// begins with the text. A text found only inside a title, or longer than it, finds nothing, and
// then no key goes anywhere.
TYPED_TEST_P(DesktopContract, ActivationByTitlePrefersTheExactTitleInEitherOrder) {
  for (const std::string order : {"1", "2"}) {
    const std::string exact_title = "Quorvel " + order + " Save As";
    const std::string longer_title = exact_title + " draft";
    const bool exact_first = order == "1";
    const WindowHandle first = this->Open(exact_first ? exact_title : longer_title);
    const WindowHandle exact = exact_first ? first : this->Open(exact_title);
    const WindowHandle longer = exact_first ? this->Open(longer_title) : first;
    const std::pair<std::string, WindowHandle> cases[] = {{exact_title, exact},
                                                          {exact_title + " d", longer},
                                                          {order + " Save As", 0},
                                                          {longer_title + " 2", 0}};
    for (const auto& [wanted, window] : cases) {
      EXPECT_EQ(this->port_.AppActivate(wanted), window != 0) << wanted;
      if (window != 0) {
        this->Types(KeyString().Text("k"), window, "k");
      } else {
        EXPECT_FALSE(this->port_.SendKeys(KeyString().Text("x"), true)) << wanted;
      }
    }
    EXPECT_EQ(this->desk_.Received(exact) + "|" + this->desk_.Received(longer), "k|k");
    this->desk_.Close(exact);
    this->desk_.Close(longer);
  }
}

// Keys reach the very window activated, of two with one title, or a box it owns that holds the
// focus, as typed: characters that the key-string syntax would read stay characters. Once the
// focus is on another window, a delivery is refused, that window gets nothing of it, and no
// modifier is left down. A window gone is not activated.
TYPED_TEST_P(DesktopContract, KeysGoToTheWindowActivatedAndNoneOnceTheFocusMovesAway) {
  DesktopPort& port = this->port_;
  auto& desk = this->desk_;
  const WindowHandle target = this->Open("Quorvel contract twin");
  const WindowHandle twin = this->Open("Quorvel contract twin");
  ASSERT_TRUE(port.Activate(twin));
  this->Types(KeyString().Text("a"), twin, "a");
  const std::string name = "p%n+^~{x}(1)";
  ASSERT_TRUE(port.Activate(target));
  this->Types(KeyString().Alt('n').Text(name), target, "%n" + name);
  EXPECT_FALSE(desk.ModifierHeld());
  const WindowHandle box = this->Open("Quorvel contract box", target);
  this->Types(KeyString().Text("b"), box, "b");

  desk.Focus(twin);
  EXPECT_FALSE(port.SendKeys(KeyString().Alt('n').Text("abc"), true));
  EXPECT_FALSE(desk.ModifierHeld());
  ASSERT_TRUE(port.Activate(twin));
  this->Types(KeyString().Text("z"), twin, "az");
  EXPECT_EQ(desk.Received(target) + "|" + desk.Received(box), "%n" + name + "|b");
  desk.Close(twin);
  EXPECT_TRUE(this->WaitFor([&] { return !this->Listed(twin); }));
  EXPECT_FALSE(port.Activate(twin));
  EXPECT_FALSE(port.SendKeys(KeyString().Text("x"), true));
}

REGISTER_TYPED_TEST_SUITE_P(DesktopContract, ListsWindowsWithTitleOwnerAndProgramWhileTheyAreThere,
                            ActivationByTitlePrefersTheExactTitleInEitherOrder,
                            KeysGoToTheWindowActivatedAndNoneOnceTheFocusMovesAway);

}  // namespace quorvel
