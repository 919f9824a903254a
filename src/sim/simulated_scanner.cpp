#include "sim/simulated_scanner.h"

#include <cstdio>
#include <utility>

#include "common/ascii.h"
#include "common/utf8.h"
#include "sim/bmp_file.h"

namespace quorvel {
namespace {

bool IsAlt(const Key& key, char32_t letter) {
  return key.kind == Key::Kind::kAltChord &&
         (key.character == letter || key.character == letter - 32);
}

}  // namespace

SimulatedScanner::SimulatedScanner(SimulatedDesktop& desktop, FileSystem& files,
                                   ScannerOptions options)
    : desktop_(desktop), files_(files), options_(std::move(options)) {}

void SimulatedScanner::Start() {
  main_ = desktop_.OpenWindow(kMainTitle, 0, [this](WindowHandle, const Key& k) { OnMainKey(k); });
  NextScan(options_.first_scan_ms);
}

std::string SimulatedScanner::SavePath(const std::string& name) const {
  return options_.save_folder + kPathSeparator + name + ".bmp";
}

void SimulatedScanner::NextScan(VirtualClock::Ms after) {
  if (options_.pages >= 0 && counts_.pages_scanned >= options_.pages) {
    stage_ = Stage::kDone;
    return;
  }
  stage_ = Stage::kScanning;
  desktop_.Clock().After(after, [this] { ScanDone(); });
}

void SimulatedScanner::ScanDone() {
  ++counts_.pages_scanned;
  stage_ = Stage::kErrorShown;
  error_box_ = desktop_.OpenWindow(kErrorTitle, main_,
                                   [this](WindowHandle, const Key& k) { OnErrorKey(k); });
  desktop_.SetForeground(error_box_);
}

void SimulatedScanner::OnErrorKey(const Key& key) {
  if (key.kind != Key::Kind::kEnter) return;
  desktop_.CloseWindow(error_box_);
  error_box_ = 0;
  stage_ = Stage::kScanned;
  if (options_.operator_finishes_after_ms >= 0) {
    desktop_.Clock().After(options_.operator_finishes_after_ms,
                           [this] { OperatorPressFinalButton(); });
  }
}

void SimulatedScanner::OnMainKey(const Key& key) {
  if (key.kind == Key::Kind::kTab) {
    focused_control_ = (focused_control_ + 1) % (kControlsBeforeFinalButton + 1);
  } else if (IsAlt(key, U'n')) {
    OperatorPressFinalButton();
  }
}

void SimulatedScanner::OperatorPressFinalButton() {
  if (stage_ != Stage::kScanned) return;  // nothing scanned to save
  stage_ = Stage::kDialogComing;
  VirtualClock::Ms wait = options_.dialog_ms;
  if (std::exchange(delay_next_dialog_, false) || desktop_.Roll(options_.late_dialog)) {
    ++counts_.dialogs_late;
    wait += options_.late_dialog_ms;
  }
  desktop_.Clock().After(wait, [this] { OpenDialog(); });
}

void SimulatedScanner::OpenDialog() {
  stage_ = Stage::kDialogOpen;
  name_field_.clear();
  name_selected_ = false;
  name_focused_ = false;
  dialog_ = desktop_.OpenWindow(kSaveAsTitle, main_,
                                [this](WindowHandle, const Key& k) { OnDialogKey(k); });
  desktop_.SetForeground(dialog_);
  if (std::exchange(cancel_next_dialog_, false) || desktop_.Roll(options_.dialog_cancelled)) {
    ++counts_.dialogs_cancelled;
    desktop_.Clock().After(options_.cancel_after_ms, [this, dialog = dialog_] {
      if (dialog_ == dialog) OperatorCancel();
    });
  }
  if (options_.operator_finishes_after_ms >= 0) {
    char name[32];
    std::snprintf(name, sizeof name, "manual-%04d", counts_.pages_scanned);
    name_field_ = name;
    operator_save_ = desktop_.Clock().After(options_.operator_finishes_after_ms, [this] {
      operator_save_ = 0;
      OperatorSave();
    });
  }
}

void SimulatedScanner::OnDialogKey(const Key& key) {
  if (IsAlt(key, U'n')) {
    name_focused_ = true;
    name_selected_ = true;  // a mnemonic selects the whole field, so typing replaces it
  } else if (IsAlt(key, U's') || key.kind == Key::Kind::kEnter) {
    OperatorSave();
  } else if (key.kind == Key::Kind::kCharacter && name_focused_) {
    if (std::exchange(name_selected_, false)) name_field_.clear();
    AppendUtf8(name_field_, key.character);
    if (options_.operator_saves_after_ms >= 0) {
      desktop_.Clock().Cancel(operator_save_);
      operator_save_ = desktop_.Clock().After(options_.operator_saves_after_ms, [this] {
        operator_save_ = 0;
        OperatorSave();
      });
    }
  }
}

void SimulatedScanner::OperatorSave() {
  // Save needs a name, and a dialog that is not waiting for its question to be answered.
  if (stage_ != Stage::kDialogOpen || name_field_.empty() || question_ != 0) return;
  if (options_.ask_before_replacing && files_.FileExists(SavePath(name_field_))) {
    AskBeforeReplacing();
  } else {
    Save();
  }
}

void SimulatedScanner::AskBeforeReplacing() {
  ++counts_.replace_questions;
  const auto letter = [](const std::string& caption) {
    const std::size_t at = caption.find('&');
    return static_cast<char32_t>(at + 1 < caption.size() ? LowerAscii(caption[at + 1]) : 0);
  };
  const char32_t yes_key = letter(options_.yes_button), no_key = letter(options_.no_button);
  question_ = desktop_.OpenWindow(kSaveAsTitle, dialog_, [=, this](WindowHandle, const Key& key) {
    const bool yes = IsAlt(key, yes_key);
    if (!yes && !IsAlt(key, no_key)) return;
    desktop_.CloseWindow(question_);
    question_ = 0;
    if (yes) {
      Save();
    } else {
      ++counts_.replace_refused;
    }
  });
  desktop_.MakeQuestionBox(question_, {options_.yes_button, options_.no_button});
  desktop_.SetForeground(question_);
}

void SimulatedScanner::OperatorCancel() {
  if (stage_ != Stage::kDialogOpen) return;
  desktop_.Clock().Cancel(operator_save_);
  desktop_.CloseWindow(question_);
  question_ = 0;
  desktop_.CloseWindow(dialog_);
  dialog_ = 0;
  NextScan(options_.scan_ms);
}

void SimulatedScanner::Save() {
  if (name_field_ != spoiled_name_) spoiled_name_ = name_field_, spoiled_in_a_row_ = 0;
  const bool by_chance = spoiled_in_a_row_ < 2 || options_.save_failure >= 1;  // 1: every save
  const bool fail =
      std::exchange(fail_next_save_, false) || (by_chance && desktop_.Roll(options_.save_failure));
  BrokenSave broken = std::exchange(break_next_save_, BrokenSave::kWhole);
  if (broken == BrokenSave::kWhole && by_chance && desktop_.Roll(options_.broken_save)) {
    broken = desktop_.Roll(0.5) ? BrokenSave::kEmpty : BrokenSave::kCutShort;
  }
  std::string image = SmallBmp(counts_.pages_scanned, options_.image_bytes);
  if (broken == BrokenSave::kEmpty) image.clear();
  if (broken == BrokenSave::kCutShort) image.resize(image.size() / 2);
  const std::string path = SavePath(name_field_);
  std::string error;
  const bool whole = !fail && files_.Replace(path, image, error) && broken == BrokenSave::kWhole;
  spoiled_in_a_row_ += !whole;  // a full disk's refusal counts too
  if (whole) {
    ++counts_.saves;
    saved_.push_back(name_field_);
  } else {
    ++counts_.saves_failed;
  }
  desktop_.Clock().Cancel(operator_save_);
  desktop_.CloseWindow(dialog_);
  dialog_ = 0;
  NextScan(options_.scan_ms);
}

}  // namespace quorvel
