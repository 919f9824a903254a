// What the operator window asks of the toolkit that shows its windows, beyond showing controls.
#pragma once

#include "controls/form_view.h"
#include "settings/settings_file.h"

namespace quorvel {

class SaveDirForm;

class FormHost : public FormView {
 public:
  // Handle the program's pending events (clicks, due timers, repaints) and return.
  virtual void PumpEvents() = 0;
  // Show the picker modal, without an owner; return once it is hidden or closed. The operator
  // window's timers keep running meanwhile.
  virtual void ShowModal(SaveDirForm& picker) = 0;
  virtual WindowPosition GetWindowPosition() = 0;
  virtual void MoveWindow(WindowPosition position) = 0;
  // End the program at once: no further handler, event or timer runs.
  virtual void Quit() = 0;
};

}  // namespace quorvel
