// The automation cycle: one stage of the scan sequence per tick of Timer1.
#include <algorithm>

#include "app/scanner_form.h"
#include "common/number_text.h"

namespace quorvel {
namespace {

constexpr std::string_view kDeskScanTitle = "DeskScan II";
constexpr std::string_view kSaveAsTitle = "Save As";
constexpr int kFinalButtonTabs = 13;
constexpr int kLastSlot = kPendingNameSlots - 1;
// FAT drives stamp files to two seconds; a save written in the same two-second step as the
// name was sent may carry a time up to two seconds earlier.
constexpr auto kFileTimeSlack = std::chrono::seconds(2);

}  // namespace

void ScannerForm::Timer1_Timer() {
  if (tick_level_ == modal_level_) return;  // the tick in progress is pumping events
  LevelScope scope(tick_level_, modal_level_);

  desktop_.PumpEvents();
  if (!state_.Running || state_.Pausing) return;
  const ActionMode mode = ReadActionMode();
  LoadTaskList();
  const bool one = state_.DeskScanCount == 1;
  const bool two = state_.DeskScanCount == 2;
  if (one && !state_.AwaitingSaveAs) {
    if (final_button_owed_ && mode != ActionMode::ErrorOnly) {
      PressFinalButton();
    } else {
      final_button_owed_ = false;
      Meter(0, "Waiting for Error", 0);
    }
  } else if (two && !state_.AwaitingSaveAs) {
    ErrorStage(mode);
  } else if (one && state_.AwaitingSaveAs) {
    SaveAsStage(mode);
  }
}

ActionMode ScannerForm::ReadActionMode() const {
  ActionMode mode = ActionMode::FullAuto;
  for (int i = 0; i < 3; ++i) {
    if (controls_.Value(OptionAction(i))) mode = static_cast<ActionMode>(i);
  }
  return mode;
}

void ScannerForm::ErrorStage(ActionMode mode) {
  Meter(1, "Found Error Message", 0);
  // Keys that did not reach the box leave it up; the next tick sees two windows and tries again.
  if (!Deliver(kDeskScanTitle, KeyString().Enter(), true)) return;
  Meter(2, "Closed Error Message", 0);
  if (mode == ActionMode::ErrorOnly) return;
  PressFinalButton();
}

void ScannerForm::PressFinalButton() {
  Meter(3, "Clicking Final Button", 0);
  LoadTaskList();
  const bool pressed = Deliver(kDeskScanTitle, KeyString().Tab(kFinalButtonTabs).Alt('n'), true);
  final_button_owed_ = !pressed;
  if (pressed) state_.AwaitingSaveAs = true;
}

void ScannerForm::SaveAsStage(ActionMode mode) {
  bool SaveConfirmed = true;
  if (!state_.LastFilename.empty()) {
    Meter(4, "Verifying Last Save", 0);
    SaveConfirmed = PreviousSaveConfirmed();
  } else {
    Meter(4, "First Save in Series", 0);
  }
  Meter(5, "Finding Save As", 0);
  LoadTaskList();
  if (!state_.SaveAsPresent) return;
  Meter(6, "Found Save As", 500);

  const std::string NameToSend =
      SaveConfirmed ? PendingName(state_.NextNameIndex) : state_.LastFilename;
  if (NameToSend.empty() && mode == ActionMode::FullAuto) {
    TakeName(NameToSend);
    StopCommand_Click();
    return;
  }

  Meter(7, "Sending filename...", 0);
  controls_.SetText(ControlId::kSendLabel, "Sending: " + NameToSend);
  host_.Repaint(ControlId::kSendLabel);
  bool delivered = true;
  if (mode == ActionMode::ErrorOnly) {
    desktop_.AppActivate(kSaveAsTitle);
  } else {
    KeyString keys;
    keys.Alt('n').Text(NameToSend);
    if (mode == ActionMode::FullAuto) keys.Alt('s');
    const WallClock::time_point sent_at = desktop_.Now();
    delivered = Deliver(kSaveAsTitle, keys, mode == ActionMode::FullAuto);
    if (delivered) last_name_sent_at_ = sent_at;
  }
  // A name that did not reach the dialog is neither consumed nor reported as sent; the dialog is
  // still up, so the next tick sends it again.
  if (!delivered) return;
  if (SaveConfirmed) TakeName(NameToSend);
  state_.AwaitingSaveAs = false;
  if (mode == ActionMode::ErrorAndSaveAs) Meter(8, "Sent filename", 2000);
  if (mode == ActionMode::FullAuto) {
    Meter(8, "Sent filename & CR", 2000);
    Meter(9, "Waiting", state_.Delay);
  }
}

bool ScannerForm::PreviousSaveConfirmed() {
  const std::string path = SavedImagePath(state_.LastFilename);
  if (!desktop_.FileExists(path)) return false;
  if (!last_name_sent_at_) return true;
  const auto written = desktop_.FileWriteTime(path);
  return written && *written + kFileTimeSlack >= *last_name_sent_at_;
}

void ScannerForm::TakeName(const std::string& name) {
  state_.LastFilename = name;
  // Past the last slot every slot reads as empty, so the index need not grow any further.
  state_.NextNameIndex =
      static_cast<std::int16_t>(std::min<int>(state_.NextNameIndex + 1, kPendingNameSlots));
  RewriteFilenames();
}

void ScannerForm::RewriteFilenames() {
  const int first = state_.NextNameIndex;
  const double scans = RoundHalfEven(ParseLeadingNumber(controls_.Text(ControlId::kNumberofScans)));
  const double last = std::min<double>(first + scans, kLastSlot);
  std::string text;
  for (int i = first; i <= kLastSlot && i <= last; ++i) {
    if (state_.PendingNames[i].empty()) continue;
    text += state_.PendingNames[i];
    text += kCrLf;
  }
  controls_.SetText(ControlId::kFilenames, std::move(text));
  host_.Repaint(ControlId::kFilenames);
}

std::string ScannerForm::PendingName(int index) const {
  return index >= 0 && index <= kLastSlot ? state_.PendingNames[index] : std::string();
}

std::string ScannerForm::SavedImagePath(const std::string& name) const {
  return state_.SaveFolder + kPathSeparator + name + ".bmp";
}

bool ScannerForm::Deliver(std::string_view title, const KeyString& keys, bool wait) {
  return desktop_.AppActivate(title) && desktop_.SendKeys(keys, wait);
}

}  // namespace quorvel
