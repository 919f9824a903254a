// The stall alert on Windows: a window of its own that shows a text and never takes the focus
// from the window that has it.
#pragma once

#include <windows.h>

#include <string>

namespace quorvel {

class AlertWindow {
 public:
  explicit AlertWindow(HINSTANCE instance) : instance_(instance) {}
  ~AlertWindow();
  AlertWindow(const AlertWindow&) = delete;
  AlertWindow& operator=(const AlertWindow&) = delete;

  void Show(const std::string& title, const std::string& text);
  void Close();

 private:
  HINSTANCE instance_;
  HWND window_ = nullptr;
  HWND text_ = nullptr;
  HFONT font_ = nullptr;
};

}  // namespace quorvel
