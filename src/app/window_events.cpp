// The life of the operator window: load, EXIT, close, and the focus leaving the seed filename.
#include "app/scanner_form.h"

namespace quorvel {
namespace {

bool IsOperatorWindowControl(ControlId id) {
  return id != ControlId::kNone && Index(id) < Index(ControlId::kCommand1);
}

}  // namespace

void ScannerForm::Form_Load() {
  LoadTaskList();
  state_.Running = false;
  state_.AwaitingSaveAs = false;
  state_.NextNameIndex = 0;
  ReadIni();
}

void ScannerForm::ExitCommand_Click() {
  EndProgram();
}

void ScannerForm::Form_Terminate() {
  EndProgram();
}

// Saves the settings once and ends the program at once.
void ScannerForm::EndProgram() {
  if (ended_) return;
  // From here on the focus, the picker and the window's end do nothing, and a tick that runs
  // under a message box of WriteIni finds the automation off.
  ended_ = true;
  state_.Running = false;
  WriteIni();
  host_.Quit();
}

void ScannerForm::FocusChanged(ControlId from, ControlId to) {
  if (ended_ || from != ControlId::kSeedText || to == from || !IsOperatorWindowControl(to)) {
    return;
  }
  SeedText_LostFocus();
}

}  // namespace quorvel
