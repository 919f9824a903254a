// What the logic needs of the desktop: the top-level windows and their titles, activation, and
// keystrokes. Realised for X11 and Win32 here, and by the simulated desktop for tests; one contract
// suite (tests/desktop_contract.h) holds all three to what is written here. Where a realisation
// may differ, its header says so under "Where it differs".
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "desktop/key_string.h"

namespace quorvel {

using WindowHandle = std::uint64_t;
// Which program shows a window: its process, or on Windows the process and thread where several
// programs share one process; 0 when it cannot be told.
using ProgramId = std::uint64_t;
using WallClock = std::chrono::system_clock;

class DesktopPort {
 public:
  virtual ~DesktopPort() = default;

  // Every top-level window, visible or not, the program's own included, topmost first.
  virtual std::vector<WindowHandle> ListTopLevelWindows() = 0;
  // The window's title; empty when it has none or is gone.
  virtual std::string WindowTitle(WindowHandle window) = 0;
  // The window that owns this one (it is a box or a dialog of that window); 0 when none.
  virtual WindowHandle OwnerOf(WindowHandle window) = 0;
  // The program that shows the window; 0 when it cannot be told (an X client that sets no PID) or
  // the window is gone.
  virtual ProgramId ProgramOf(WindowHandle /*window*/) { return 0; }
  // The captions of the Yes and No buttons of a question box; empty captions where the system
  // cannot tell or the box does not answer in a moment, and where the window is no such box.
  struct QuestionCaptions {
    std::string yes;
    std::string no;
  };
  virtual QuestionCaptions QuestionBox(WindowHandle /*window*/) { return {}; }
  // True when the window is shown and its program has taken no messages for some seconds, as a
  // hung program does; found out without asking it anything.
  virtual bool NotAnswering(WindowHandle /*window*/) { return false; }
  // The captions of the file-name label and of the default button, when the window is the
  // system's common file dialog; nothing otherwise, or where the system cannot tell. This asks the
  // dialog's program; empty captions when it does not answer in a moment.
  struct FileDialogCaptions {
    std::string name_label;
    std::string save_button;
  };
  virtual std::optional<FileDialogCaptions> FileDialog(WindowHandle /*window*/) {
    return std::nullopt;
  }
  // True where FileDialog can tell the system's common file dialog from other windows.
  virtual bool ReadsFileDialogs() const { return false; }
  // Brings the window with this title (exact, else the first whose title begins with it) to the
  // foreground and makes it the target of the next SendKeys. False: no such window. A program that
  // does not answer keeps the foreground it holds and is sent no key, nor is a window brought
  // forward whose program does not answer.
  virtual bool AppActivate(std::string_view title) = 0;
  // The same for this very window, found by a census: it, or the box it has open, is brought to
  // the foreground and becomes the target of the next SendKeys. False: the window is gone.
  virtual bool Activate(WindowHandle window) = 0;
  // Delivers the keys to the target of the last activation, checking right before each key that
  // the focus is on the target or on a window it owns. False: the focus was elsewhere (or the
  // target is gone) and nothing further was delivered; no modifier is left held down.
  // `wait`: return only once the target has processed the keys.
  virtual bool SendKeys(const KeyString& keys, bool wait) = 0;
  // How many keys of the last SendKeys reached the target, counted from the first: all of them
  // when it returned true; where it returned false, those that went before the focus was found
  // elsewhere. A key whose arrival is in doubt does not count, nor does any where the port
  // cannot tell.
  virtual std::size_t KeysDelivered() const { return 0; }
  // Runs the program's own pending events (repaints, clicks, due timers).
  virtual void PumpEvents() {
    if (event_pump_) event_pump_();
  }
  // Starts `command` with `argument` as its one argument, and does not wait for it. False: it
  // could not be started.
  virtual bool RunCommand(const std::string& command, const std::string& argument) = 0;
  // The current time, as the file system stamps files.
  virtual WallClock::time_point Now() { return WallClock::now(); }

  // The toolkit binding hands its event pump to the port.
  void SetEventPump(std::function<void()> pump) { event_pump_ = std::move(pump); }

 private:
  std::function<void()> event_pump_;
};

}  // namespace quorvel
