// The operator window's events: load, the buttons, the timers, the focus, EXIT and close.
#include "app/scanner_form.h"

#include "app/layout_queries.h"

namespace quorvel {
namespace {

bool IsOperatorWindowControl(ControlId id) {
  return id != ControlId::kNone && Index(id) < Index(ControlId::kCommand1);
}

}  // namespace

ScannerForm::ScannerForm(DesktopPort& desktop, FileSystem& files, FormHost& host,
                         FormOptions options)
    : desktop_(desktop),
      files_(files),
      host_(host),
      controls_(StartUpModel()),
      cycle_(desktop, files, controls_, host, std::move(options.save_dialog)),
      supervisor_(cycle_, files, desktop, controls_, host, std::move(options.supervision)) {
  cycle_.SetEvents(&supervisor_);
  controls_.SetObserver([this](ControlId id) { host_.ControlChanged(id); });
  desktop_.SetEventPump([this] { host_.PumpEvents(); });
}

void ScannerForm::Clicked(ControlId id) {
  switch (id) {
    case ControlId::kStartCommand:
      StartCommand_Click();
      break;
    case ControlId::kStopCommand:
    case ControlId::kNone:  // the window's bare surface stops the automation as "Stop!" does
      StopCommand_Click();
      break;
    case ControlId::kExitCommand:
      EndProgram();
      break;
    case ControlId::kCommand4:  // "ReLoad Task List"
      cycle_.LoadTaskList();
      break;
    case ControlId::kCreateCommand:
      CreateCommand_Click();
      break;
    default:
      if (controls_[id].group != ControlId::kNone) controls_.SetValue(id, true);
      break;
  }
}

void ScannerForm::TimerFired(ControlId id) {
  if (id == ControlId::kTimer1) {
    cycle_.Timer1_Timer();
    supervisor_.Tick();
  }
  if (id == ControlId::kSleepTimer) cycle_.SleepTimer_Timer();
}

void ScannerForm::Form_Load() {
  cycle_.LoadTaskList();
  State().Running = false;
  State().AwaitingSaveAs = false;
  State().NextNameIndex = 0;
  ReadIni();
}

// Saves the settings once and ends the program at once.
void ScannerForm::EndProgram() {
  if (ended_) return;
  // From here on the focus, the picker and the window's end do nothing, and a tick that runs
  // under a message box of WriteIni finds the automation off.
  ended_ = true;
  State().Running = false;
  supervisor_.Ending();
  WriteIni();
  host_.Quit();
}

void ScannerForm::FocusChanged(ControlId from, ControlId to) {
  if (ended_ || from != ControlId::kSeedText || to == from || !IsOperatorWindowControl(to)) {
    return;
  }
  SeedText_LostFocus();
}

void ScannerForm::SeedText_LostFocus() {
  // A save folder already set (taken up, or chosen before) is where the picker opens, so that
  // its button keeps it.
  if (!picker_) picker_ = std::make_unique<SaveDirForm>(host_, files_, State().SaveFolder);
  if (picker_->Visible()) return;  // already open further up this call chain
  picker_->Show();
  cycle_.EnterModal();  // the cycle keeps ticking under the modal picker
  host_.ShowModal(*picker_);
  cycle_.LeaveModal();
  if (ended_ || picker_->ClosedByCloseBox()) return;
  State().SaveFolder = picker_->OpenFolder();
}

}  // namespace quorvel
