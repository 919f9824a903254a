// The automation cycle: one stage of the scan sequence per tick of Timer1.
#include <algorithm>
#include <utility>

#include "automation/cycle.h"
#include "common/number_text.h"

namespace quorvel {
namespace {

constexpr int kFinalButtonTabs = 13;
constexpr int kLastSlot = kPendingNameSlots - 1;
// A name is typed into this many dialogs at most. One lost save is a passing fault and the
// next dialog mends it; a name whose image is still not there after four dialogs has a cause
// that another try will not mend (a folder other than the one the dialog saves into, a name
// the dialog cannot take, a full disk), and every further try saves a scanned page under it.
constexpr int kMaxSendsOfOneName = 4;
// The box a save dialog opens to ask before it replaces a file is looked for this many ticks.
constexpr int kReplaceWatchTicks = 3;

}  // namespace

void Cycle::Timer1_Timer() {
  if (tick_level_ == modal_level_) return;  // the tick in progress is pumping events
  LevelScope scope(tick_level_, modal_level_);

  desktop_.PumpEvents();
  if (!state_.Running) return;
  // The dialog waits for the answer, pause or not.
  if (replace_watch_) AnswerReplaceQuestion();
  if (state_.Pausing) return;
  const ActionMode mode = ReadActionMode();
  LoadTaskList();
  const bool one = state_.DeskScanCount == 1;
  const bool two = state_.DeskScanCount == 2;
  // A second window of the scanning application while "Save As" is awaited may be the next error
  // box, or a box that lives only a moment between the final button and the dialog (a progress
  // box, say), which an Enter would cancel. Only the same picture on two ticks in a row is taken
  // for the error box: that costs at most one tick.
  const bool missed_seen_before = std::exchange(save_as_missed_seen_, two && state_.AwaitingSaveAs);
  if (one && !state_.AwaitingSaveAs) {
    if (owed_press_ && mode != ActionMode::ErrorOnly && state_.SaveAsPresent) {
      // The press was reported lost, yet the dialog it opens is up: it arrived after all.
      owed_press_.reset();
      state_.AwaitingSaveAs = true;
      SaveAsStage(mode);
    } else if (owed_press_ && mode != ActionMode::ErrorOnly) {
      PressFinalButton();
    } else {
      owed_press_.reset();
      Meter(0, "Waiting for Error", 0);
    }
  } else if (two && !state_.AwaitingSaveAs) {
    ErrorStage(mode);
  } else if (one && state_.AwaitingSaveAs) {
    SaveAsStage(mode);
  } else if (two && state_.AwaitingSaveAs && missed_seen_before) {
    save_as_missed_seen_ = false;
    // The next error box is up while "Save As" is still awaited: the dialog came and went
    // without this program's keys (or they arrived but were reported lost), or someone closed
    // it. The last name is checked at the next "Save As" and sent again if its image is not
    // there.
    Meter(5, "Save As missed", 0);
    events_->SaveAsMissed();
    state_.AwaitingSaveAs = false;
    ErrorStage(mode);
  }
}

ActionMode Cycle::ReadActionMode() const {
  ActionMode mode = ActionMode::FullAuto;
  for (int i = 0; i < 3; ++i) {
    if (controls_.Value(OptionAction(i))) mode = static_cast<ActionMode>(i);
  }
  return mode;
}

void Cycle::ErrorStage(ActionMode mode) {
  Meter(1, "Found Error Message", 0);
  // Keys that did not reach the box leave it up; the next tick sees two windows and tries again.
  // Should the box be gone by then, the Enter arrived after all and the final button is owed.
  if (!Deliver(main_window_, KeyString().Enter(), true)) {
    owed_press_ =
        mode != ActionMode::ErrorOnly ? std::optional(owed_press_.value_or(0)) : std::nullopt;
    return;
  }
  Meter(2, "Closed Error Message", 0);
  events_->ErrorBoxClosed();
  if (mode == ActionMode::ErrorOnly) return;
  PressFinalButton();
}

void Cycle::PressFinalButton() {
  Meter(3, "Clicking Final Button", 0);
  LoadTaskList();
  const int sent = owed_press_.value_or(0);
  const int tabs = kFinalButtonTabs - sent;
  std::size_t reached = 0;
  const bool pressed = Deliver(main_window_, KeyString().Tab(tabs).Alt('n'), true, &reached);
  owed_press_ =
      pressed ? std::nullopt : std::optional(sent + std::min(tabs, static_cast<int>(reached)));
  if (pressed) state_.AwaitingSaveAs = true;
}

void Cycle::SaveAsStage(ActionMode mode) {
  ImageCheck check;
  const std::string previous = state_.LastFilename;
  // Where the last name's image was noted: the save folder may have changed since.
  const std::string previous_path =
      last_image_path_.empty() ? SavedImagePath(previous) : last_image_path_;
  if (!previous.empty()) {
    Meter(4, "Verifying Last Save", 0);
    check = CheckImage(files_, previous_path, last_image_before_);
    // A folder that does not answer confirms nothing and refutes nothing: the cycle waits for it
    // as it waits for a busy scanning application, and checks again on a later tick.
    if (check.no_answer) {
      events_->FolderNotAnswering(state_.SaveFolder);
      return;
    }
  } else {
    Meter(4, "First Save in Series", 0);
  }
  const bool SaveConfirmed = previous.empty() || check.facts.has_value();
  Meter(5, "Finding Save As", 0);
  LoadTaskList();
  if (!state_.SaveAsPresent) return;

  const std::string NameToSend =
      SaveConfirmed ? PendingName(state_.NextNameIndex) : state_.LastFilename;
  // The image file of the name about to go, as it is now; from here on the name counts as sent,
  // even when no keys go (Error Only leaves the typing to the operator) or they are reported lost:
  // they may have reached the dialog all the same, and its image, written or changed after this
  // moment, is what decides whether it goes again.
  const std::string path = SavedImagePath(NameToSend);
  const ImageBefore note = NoteImage(files_, path);
  if (files_.NoAnswer()) {
    events_->FolderNotAnswering(state_.SaveFolder);
    return;
  }
  Meter(6, "Found Save As", 500);
  if (check.facts) events_->ImageConfirmed(previous, previous_path, *check.facts);
  if (!SaveConfirmed) events_->ImageMissing(previous, previous_path, check.problem);

  if (NameToSend.empty() && mode == ActionMode::FullAuto) {
    TakeName(NameToSend);
    StopCommand_Click();
    events_->QueueEnded();
    return;
  }
  if (!SaveConfirmed && sends_of_last_name_ >= kMaxSendsOfOneName) {
    StopCommand_Click();
    events_->GaveUp(NameToSend, check.problem);
    view_.ShowMessage("The image of \"" + NameToSend + "\" never appeared: the name was sent " +
                      DecimalText(kMaxSendsOfOneName) + " times, and the last look at " +
                      previous_path + " found: " + check.problem + ". The series has stopped.");
    return;
  }
  if (NameToSend.empty() && SaveConfirmed && !previous.empty()) events_->QueueEnded();

  Meter(7, "Sending filename...", 0);
  controls_.SetText(ControlId::kSendLabel, "Sending: " + NameToSend);
  view_.Repaint(ControlId::kSendLabel);
  if (SaveConfirmed) TakeName(NameToSend);
  last_image_before_ = note;
  last_image_path_ = path;
  if (SaveConfirmed) first_image_before_ = last_image_before_;
  events_->NameGoing();
  if (mode == ActionMode::ErrorOnly) {
    if (save_dialog_ != 0) desktop_.Activate(save_dialog_);
    state_.AwaitingSaveAs = false;
    return;
  }
  KeyString keys;
  keys.Alt(save_dialog_keys_.name).Text(NameToSend);
  if (mode == ActionMode::FullAuto) {
    if (save_dialog_keys_.save == kEnterKey) {
      keys.Enter();
    } else {
      keys.Alt(save_dialog_keys_.save);
    }
  }
  if (!Deliver(save_dialog_, keys, mode == ActionMode::FullAuto)) return;
  ++sends_of_last_name_;
  events_->NameSent(NameToSend);
  state_.AwaitingSaveAs = false;
  if (mode == ActionMode::ErrorAndSaveAs) Meter(8, "Sent filename", 2000);
  if (mode == ActionMode::FullAuto) {
    replace_watch_ = ReplaceWatch{save_dialog_, kReplaceWatchTicks};
    AnswerReplaceQuestion();
    Meter(8, "Sent filename & CR", 2000);
    Meter(9, "Waiting", state_.Delay);
  }
}

// Right after a name and the save key went to the dialog, it may ask in a box of its own whether
// to replace the file of that name. Yes where the operator allowed replacing the list's images, or
// where the file is this series' own image of the name, cut short and now sent again; No to any
// other file, which then stays as it was, and the series waits with the dialog open. The letters
// are read from the box's buttons where the system can tell them; Y and N where it cannot.
void Cycle::AnswerReplaceQuestion() {
  LoadTaskList();
  if (replace_box_ == 0) {
    if (--replace_watch_->ticks_left <= 0) replace_watch_.reset();
    return;
  }
  const std::string& name = state_.LastFilename;
  const std::string path = SavedImagePath(name);
  const bool allowed = may_replace_.contains(name);
  const bool own =
      !allowed && first_image_before_ && NoteImage(files_, path) != *first_image_before_;
  const bool yes = allowed || own;
  const DesktopPort::QuestionCaptions captions = desktop_.NotAnswering(replace_box_)
                                                     ? DesktopPort::QuestionCaptions{}
                                                     : desktop_.QuestionBox(replace_box_);
  const char32_t key = MnemonicOf(yes ? captions.yes : captions.no).value_or(yes ? U'y' : U'n');
  // Keys that did not reach the box leave it up, and the next tick answers again.
  if (!Deliver(replace_box_, KeyString().Alt(key), true)) return;
  replace_watch_.reset();
  events_->ReplaceAnswered(name, path, yes,
                           allowed ? "replacing the list's images was allowed at ENABLE"
                           : own   ? "the file is this series' own image of the name, cut short"
                                   : "the file was there before the name was sent, and replacing "
                                     "it was not allowed at ENABLE");
}

void Cycle::TakeName(const std::string& name) {
  state_.LastFilename = name;
  sends_of_last_name_ = 0;
  // Past the last slot every slot reads as empty, so the index need not grow any further.
  state_.NextNameIndex =
      static_cast<std::int16_t>(std::min<int>(state_.NextNameIndex + 1, kPendingNameSlots));
  RewriteFilenames();
}

void Cycle::RewriteFilenames() {
  const int first = state_.NextNameIndex;
  // The index and the number of scans are added first, and their sum rounded.
  const double scans = ParseLeadingNumber(controls_.Text(ControlId::kNumberofScans));
  const double last = std::min<double>(RoundHalfEven(first + scans), kLastSlot);
  std::string text;
  for (int i = first; i <= kLastSlot && i <= last; ++i) {
    if (state_.PendingNames[i].empty()) continue;
    text += state_.PendingNames[i];
    text += kCrLf;
  }
  controls_.SetText(ControlId::kFilenames, std::move(text));
  view_.Repaint(ControlId::kFilenames);
}

std::vector<std::string> Cycle::NamesToCome() const {
  std::vector<std::string> names;
  for (int i = state_.NextNameIndex; i <= kLastSlot; ++i) {
    if (!state_.PendingNames[i].empty()) names.push_back(state_.PendingNames[i]);
  }
  return names;
}

std::string Cycle::PendingName(int index) const {
  return index >= 0 && index <= kLastSlot ? state_.PendingNames[index] : std::string();
}

std::string Cycle::SavedImagePath(const std::string& name) const {
  return state_.SaveFolder + kPathSeparator + name + ".bmp";
}

bool Cycle::Deliver(WindowHandle window, const KeyString& keys, bool wait, std::size_t* reached) {
  if (window == 0 || !desktop_.Activate(window)) return false;
  const bool delivered = desktop_.SendKeys(keys, wait);
  if (reached) *reached = desktop_.KeysDelivered();
  return delivered;
}

}  // namespace quorvel
