// The stand-in scanning application on the simulated desktop. It behaves as the automation
// cycle expects of the real one: a main window "DeskScan II"; after each scan an error box;
// Enter closes the box; Tab keys walk the main window's controls and Alt+N presses its final
// button, which opens "Save As"; there Alt+N selects the name field, typed characters replace
// the selection, and Alt+S (or Enter) saves <folder><separator><name>.bmp and closes the dialog.
#pragma once

#include <string>
#include <vector>

#include "files/file_system.h"
#include "sim/simulated_desktop.h"

namespace quorvel {

struct ScannerOptions {
  std::string save_folder;
  int pages = 20;                          // scans in all; -1: no end
  VirtualClock::Ms first_scan_ms = 4000;   // from start to the first error box
  VirtualClock::Ms scan_ms = 6000;         // from a save to the next error box
  VirtualClock::Ms dialog_ms = 400;        // from the final button to "Save As"
  VirtualClock::Ms late_dialog_ms = 9000;  // extra wait of a late dialog
  // The chance faults of a save spoil one name at most twice in a row, counting the saves that the
  // file system refused (a full disk): a long run then measures the faults, not Quorvel's stop
  // after a name's fourth send, which needs a save that keeps failing.
  double save_failure = 0;                  // chance that a save writes nothing
  double broken_save = 0;                   // chance that a save writes a broken image
  double late_dialog = 0;                   // chance that "Save As" comes late
  double dialog_cancelled = 0;              // chance that someone cancels "Save As" ...
  VirtualClock::Ms cancel_after_ms = 1000;  // ... this long after it opened
  // An operator who presses Save this long after a name was typed (-1: nobody does).
  VirtualClock::Ms operator_saves_after_ms = -1;
  // An operator who, this long after the error box closed, presses the final button and saves
  // the page under a name of their own ("manual-0001", ...) (-1: nobody does).
  VirtualClock::Ms operator_finishes_after_ms = -1;
  // "Save As" asks in a box of its own, titled as the dialog, before it replaces a file, with these
  // buttons: Alt and the letter after the "&" of the first replaces it, of the second goes back to
  // the dialog.
  bool ask_before_replacing = false;
  std::size_t image_bytes = 0;  // each image at least this long; 0: 8 x 8 pixels
  std::string yes_button = "&Yes";
  std::string no_button = "&No";
};

struct ScannerCounts {
  int pages_scanned = 0;
  int saves = 0;         // files written
  int saves_failed = 0;  // saves that wrote nothing, or a broken image
  int dialogs_late = 0;
  int dialogs_cancelled = 0;
  int replace_questions = 0;  // boxes that asked before replacing a file
  int replace_refused = 0;    // ... answered No
};

class SimulatedScanner {
 public:
  static constexpr const char* kMainTitle = "DeskScan II";
  static constexpr const char* kErrorTitle = "DeskScan Error";
  static constexpr const char* kSaveAsTitle = "Save As";
  static constexpr int kControlsBeforeFinalButton = 13;

  // Saves its pages through `files`.
  SimulatedScanner(SimulatedDesktop& desktop, FileSystem& files, ScannerOptions options);

  // Opens the main window and schedules the first scan.
  void Start();

  WindowHandle MainWindow() const { return main_; }
  WindowHandle ErrorBox() const { return error_box_; }
  WindowHandle SaveAsDialog() const { return dialog_; }
  WindowHandle ReplaceQuestion() const { return question_; }
  const std::vector<std::string>& SavedNames() const { return saved_; }
  const ScannerCounts& Counts() const { return counts_; }
  bool Finished() const { return stage_ == Stage::kDone; }
  std::string SavePath(const std::string& name) const;
  // What the windows show, for a stand-in that draws them.
  int FocusedControl() const { return focused_control_; }
  const std::string& NameField() const { return name_field_; }
  bool NameSelected() const { return name_selected_; }
  bool NameFocused() const { return name_focused_; }

  // Faults for the next occurrence only.
  void FailNextSave() { fail_next_save_ = true; }
  // The next save writes an image of 0 bytes, or one cut short (a full disk, say).
  enum class BrokenSave { kWhole, kEmpty, kCutShort };
  void BreakNextSave(BrokenSave broken) { break_next_save_ = broken; }
  void DelayNextDialog() { delay_next_dialog_ = true; }
  void CancelNextDialog() { cancel_next_dialog_ = true; }

  // What an operator does by hand in the modes that leave it to them.
  void OperatorPressFinalButton();
  void OperatorSave();
  // Closes "Save As" without saving; the scanner goes on to its next page.
  void OperatorCancel();

 private:
  enum class Stage { kIdle, kScanning, kErrorShown, kScanned, kDialogComing, kDialogOpen, kDone };

  void ScanDone();
  void OnMainKey(const Key& key);
  void OnErrorKey(const Key& key);
  void OnDialogKey(const Key& key);
  void OpenDialog();
  void AskBeforeReplacing();
  void Save();
  void NextScan(VirtualClock::Ms after);

  SimulatedDesktop& desktop_;
  FileSystem& files_;
  ScannerOptions options_;
  Stage stage_ = Stage::kIdle;
  WindowHandle main_ = 0;
  WindowHandle error_box_ = 0;
  WindowHandle dialog_ = 0;
  WindowHandle question_ = 0;
  int focused_control_ = 0;  // in the main window; the final button follows the thirteen
  std::string name_field_;
  bool name_selected_ = false;
  bool name_focused_ = false;
  VirtualClock::EventId operator_save_ = 0;
  bool fail_next_save_ = false;
  BrokenSave break_next_save_ = BrokenSave::kWhole;
  // The name whose saves the chance faults spoiled last, and how many times in a row.
  std::string spoiled_name_;
  int spoiled_in_a_row_ = 0;
  bool delay_next_dialog_ = false;
  bool cancel_next_dialog_ = false;
  std::vector<std::string> saved_;
  ScannerCounts counts_;
};

}  // namespace quorvel
