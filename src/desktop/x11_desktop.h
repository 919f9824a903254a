// The desktop port on X11: the census of top-level windows, activation through the window
// manager, and keystrokes through the XTest extension.
//
// Where it differs:
// - ProgramOf is 0 for a window whose client sets no _NET_WM_PID.
// - Activation is carried out by the window manager when it comes to it; SendKeys waits up to a
//   second for the focus to arrive. Of the boxes a window owns, only a modal one takes the focus
//   when the window is activated (the window manager's rule, and the port's without one).
// - SendKeys with `wait` waits for the target to read the keys only where it answers
//   _NET_WM_PING; otherwise it returns once the server has handled them.
// - To a program under Wine whose Wine can be asked (wine_front.h), SendKeys types one key at a
//   time, each while Wine holds the target in front, and counts those read; elsewhere it types
//   them all under one server grab, so all arrive or none.
// - NotAnswering, QuestionBox and FileDialog are not realised: X tells none of them.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "desktop/desktop_port.h"

namespace quorvel {

class X11Desktop : public DesktopPort {
 public:
  // Opens its own connection to $DISPLAY; throws std::runtime_error when it cannot connect.
  X11Desktop();
  ~X11Desktop() override;
  X11Desktop(const X11Desktop&) = delete;
  X11Desktop& operator=(const X11Desktop&) = delete;

  std::vector<WindowHandle> ListTopLevelWindows() override;
  std::string WindowTitle(WindowHandle window) override;
  WindowHandle OwnerOf(WindowHandle window) override;
  ProgramId ProgramOf(WindowHandle window) override;
  bool AppActivate(std::string_view title) override;
  bool Activate(WindowHandle window) override;
  bool SendKeys(const KeyString& keys, bool wait) override;
  std::size_t KeysDelivered() const override;
  bool RunCommand(const std::string& command, const std::string& argument) override;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace quorvel
