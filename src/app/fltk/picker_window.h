// The FLTK window of the save-folder picker, "Find Directory to Save Files In", built from the
// layout table and bound to the picker's model: the drive list, the directory list (single click
// highlights, double click opens) and "Got it!      Return". Created the first time it is
// needed and then kept, hidden between uses.
#pragma once

#include <FL/Fl_Double_Window.H>

#include <memory>

#include "app/fltk/form_widgets.h"
#include "app/fltk/widgets.h"
#include "app/save_dir_form.h"

namespace quorvel {

class PickerWindow {
 public:
  explicit PickerWindow(int dpi);

  // Shows the window modal and returns once the picker is hidden; the operator window's timers
  // keep running meanwhile.
  void RunModal(SaveDirForm& form);

  Fl_Double_Window& Window() { return *window_; }
  const FormWidgets& Widgets() const { return *widgets_; }
  // The form shown, while it is shown.
  SaveDirForm* Form() { return form_; }

 private:
  static void OnWidget(Fl_Widget* widget, void* data);
  // Shows the model's drives, entries, highlighted entry and open folder.
  void Refresh();

  std::unique_ptr<Fl_Double_Window> window_;
  std::unique_ptr<FormWidgets> widgets_;
  LiteralMenu drives_;
  SaveDirForm* form_ = nullptr;
};

}  // namespace quorvel
