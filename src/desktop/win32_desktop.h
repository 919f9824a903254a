// The desktop port for Windows: the window census, activation and keystrokes through user32,
// files through the wide-character file API.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "automation/desktop_port.h"

namespace quorvel {

class Win32Desktop : public DesktopPort {
 public:
  Win32Desktop();

  // The census walks the top-level windows from this window (GW_HWNDFIRST, then GW_HWNDNEXT).
  void SetProgramWindow(HWND window) { program_window_ = window; }

  std::vector<WindowHandle> ListTopLevelWindows() override;
  std::string WindowTitle(WindowHandle window) override;
  bool AppActivate(std::string_view title) override;
  bool SendKeys(const KeyString& keys, bool wait) override;
  bool FileExists(const std::string& path) override;
  std::optional<WallClock::time_point> FileWriteTime(const std::string& path) override;
  std::string ProgramFolder() override;

 private:
  HWND program_window_ = nullptr;
  HWND target_ = nullptr;  // the window of the last successful AppActivate
};

// The folder part of a module's path (UTF-8), without the trailing separator, except for a
// root folder (C:\ for the root of drive C), which keeps it.
std::string FolderOfPath(std::string_view path);

}  // namespace quorvel
