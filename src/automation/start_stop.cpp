// "ENABLE", "Stop!" and a click on the bare window.
#include "app/scanner_form.h"

namespace quorvel {

void ScannerForm::StartCommand_Click() {
  if (!ParseText()) return;
  state_.Running = true;
  state_.AwaitingSaveAs = false;
  final_button_owed_ = false;
}

void ScannerForm::StopCommand_Click() {
  state_.Running = false;
  state_.AwaitingSaveAs = false;
  final_button_owed_ = false;
  LoadTaskList();
  Meter(-1, "No Message", 0);
  state_.LastFilename.clear();
  last_name_sent_at_.reset();
}

void ScannerForm::Form_Click() {
  StopCommand_Click();
}

}  // namespace quorvel
