// The desktop port for Windows: the window census, activation and keystrokes through user32.
//
// Where it differs:
// - ProgramOf is the process and the thread for a window of the shared virtual DOS machine.
// - AppActivate passes over hidden windows, which cannot take the foreground.
// - Of the boxes a window owns, the one it last activated takes the focus with it.
// - SendKeys always waits until the target has read the keys, whatever `wait` says.
// - A Tab in doubt (the last key before the foreground left) is judged by the next delivery to
//   the same window that starts with a Tab: it is sent again only if the window's focus is still
//   on the control where the doubtful Tab found it.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "desktop/desktop_port.h"
#include "desktop/win32_key_guard.h"

namespace quorvel {

class Win32Desktop : public DesktopPort {
 public:
  Win32Desktop();

  // The census walks the top-level windows from this window (GW_HWNDFIRST, then GW_HWNDNEXT).
  void SetProgramWindow(HWND window) { program_window_ = window; }

  std::vector<WindowHandle> ListTopLevelWindows() override;
  std::string WindowTitle(WindowHandle window) override;
  WindowHandle OwnerOf(WindowHandle window) override;
  ProgramId ProgramOf(WindowHandle window) override;
  QuestionCaptions QuestionBox(WindowHandle window) override;
  bool NotAnswering(WindowHandle window) override;
  std::optional<FileDialogCaptions> FileDialog(WindowHandle window) override;
  bool ReadsFileDialogs() const override { return true; }
  bool AppActivate(std::string_view title) override;
  bool Activate(WindowHandle window) override;
  bool SendKeys(const KeyString& keys, bool wait) override;
  std::size_t KeysDelivered() const override { return keys_delivered_; }
  bool RunCommand(const std::string& command, const std::string& argument) override;

 private:
  HWND program_window_ = nullptr;
  HWND target_ = nullptr;   // the window of the last successful AppActivate
  bool held_back_ = false;  // ... which a program that does not answer keeps from the foreground
  std::size_t keys_delivered_ = 0;  // by the last SendKeys
  struct DoubtfulTab {
    HWND window;        // the target it went to
    HWND focus_before;  // the control that had the focus when it went
  };
  std::optional<DoubtfulTab> doubtful_tab_;     // the last key of a SendKeys cut short after it
  std::unordered_map<DWORD, bool> shared_vdm_;  // processes asked about since the last census
  KeyGuard guard_;
};

}  // namespace quorvel
