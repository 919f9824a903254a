// What the logic asks of the toolkit that shows the controls.
#pragma once

#include <string>

#include "controls/control_id.h"

namespace quorvel {

class FormView {
 public:
  virtual ~FormView() = default;

  // A control's value changed in the model; show it in the ordinary course. For a timer: its
  // interval or enabled state changed, so (re)arm it from now, or stop it.
  virtual void ControlChanged(ControlId id) = 0;
  // Repaint the control at once, without waiting for the event loop.
  virtual void Repaint(ControlId id) = 0;
  // Modal message box: the text, a single OK button, no icon, title "Quorvel".
  virtual void ShowMessage(const std::string& text) = 0;
  // Modal question with Yes and No, title "Quorvel"; `yes_first`: Yes is the default button.
  // True: Yes.
  virtual bool Ask(const std::string& text, bool yes_first) = 0;
  // A window of its own that shows `text` under `title`, or shows the new text when it is already
  // up; it never takes the focus from the window that has it.
  virtual void ShowAlert(const std::string& title, const std::string& text) = 0;
  virtual void CloseAlert() = 0;
  // A second window of the alert's kind, for what the operator should know but need not answer:
  // shows `text` under `title`, or the new text when it is up; the operator closes it.
  virtual void ShowNotice(const std::string& title, const std::string& text) = 0;
  // The system's bell.
  virtual void Bell() = 0;
};

}  // namespace quorvel
