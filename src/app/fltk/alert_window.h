// The stall alert on X11, and the notice of the same kind: a window of its own that shows a text
// and never takes the focus from the window that has it.
#pragma once

#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Multiline_Output.H>

#include <memory>
#include <string>

namespace quorvel {

class AlertWindow {
 public:
  void Show(const std::string& title, const std::string& text, int dpi);
  void Close();

 private:
  std::unique_ptr<Fl_Double_Window> window_;
  Fl_Multiline_Output* text_ = nullptr;
  std::string title_;
};

}  // namespace quorvel
