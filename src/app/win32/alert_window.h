// The stall alert on Windows, and the notice of the same kind: a window of its own that shows a
// text and never takes the focus from the window that has it.
#pragma once

#include <windows.h>

#include <string>

namespace quorvel {

class AlertWindow {
 public:
  // kByTheProgram: no close box (the stall alert goes when the series moves again).
  enum class Closing { kByTheProgram, kByTheOperator };
  explicit AlertWindow(HINSTANCE instance, Closing closing = Closing::kByTheProgram)
      : instance_(instance), closing_(closing) {}
  ~AlertWindow();
  AlertWindow(const AlertWindow&) = delete;
  AlertWindow& operator=(const AlertWindow&) = delete;

  void Show(const std::string& title, const std::string& text);
  void Close();

 private:
  HINSTANCE instance_;
  Closing closing_;
  HWND window_ = nullptr;
  HWND text_ = nullptr;
  HFONT font_ = nullptr;
};

}  // namespace quorvel
