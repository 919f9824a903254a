// What the logic asks of the toolkit that shows its windows.
#pragma once

#include <string>

#include "app/control_id.h"

namespace quorvel {

class SaveDirForm;

// Window position in twips from the top left corner of the screen.
struct WindowPosition {
  double top = 0;
  double left = 0;
};

class FormHost {
 public:
  virtual ~FormHost() = default;

  // A control's value changed in the model; show it in the ordinary course. For a timer: its
  // interval or enabled state changed, so (re)arm it from now, or stop it.
  virtual void ControlChanged(ControlId id) = 0;
  // Repaint the control at once, without waiting for the event loop.
  virtual void Repaint(ControlId id) = 0;
  // Modal message box: the text, a single OK button, no icon, title "Quorvel".
  virtual void ShowMessage(const std::string& text) = 0;
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
