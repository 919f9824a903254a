// The automation cycle and what it works on: the run state, the window census, the stages of a
// scan, the step meter and the start and stop of the automation. It sees the desktop through the
// desktop port, the saved images through the file system port, and shows itself through the
// controls' model.
#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "automation/cycle_events.h"
#include "automation/run_state.h"
#include "automation/save_dialogs.h"
#include "controls/control_model.h"
#include "controls/form_view.h"
#include "desktop/desktop_port.h"
#include "files/file_system.h"

namespace quorvel {

enum class ActionMode : std::int16_t { FullAuto = 0, ErrorOnly = 1, ErrorAndSaveAs = 2 };

class Cycle {
 public:
  Cycle(DesktopPort& desktop, FileSystem& files, ControlModel& controls, FormView& view,
        SaveDialogOptions dialog_options = {});
  Cycle(const Cycle&) = delete;
  Cycle& operator=(const Cycle&) = delete;

  RunState& State() { return state_; }
  const RunState& State() const { return state_; }
  // Who hears of the series' events; nobody when null.
  void SetEvents(CycleEvents* events) { events_ = events ? events : &nobody_; }
  // The image file of the name in LastFilename as it was when the name went to "Save As"; nothing
  // when not known.
  const std::optional<ImageBefore>& LastImageBefore() const { return last_image_before_; }
  // The names still to come, in order.
  std::vector<std::string> NamesToCome() const;
  // The names whose images the operator allowed the series to replace, when it started.
  void AllowReplacing(std::set<std::string> names) { may_replace_ = std::move(names); }
  // Reads the action mode from the option buttons.
  ActionMode ReadActionMode() const;

  // The title of the Save As dialog as an English system gives it.
  static constexpr std::string_view kSaveAsTitle = "Save As";

  // Window census (census.cpp).
  void LoadTaskList();

  // One stage of the scan sequence per tick of Timer1 (cycle.cpp).
  void Timer1_Timer();

  // Step meter and pause timer (meter.cpp).
  void Meter(std::int16_t Line, const std::string& Message, std::int32_t DelayAmount);
  void SleepTimer_Timer();

  // Start and stop (start_stop.cpp). Start: what ENABLE does once the list is loaded.
  void Start();
  void StopCommand_Click();

  // A modal window of the program is shown from here until LeaveModal: ticks and censuses that
  // start under it run, though one is pumping events further up.
  void EnterModal() { ++modal_level_; }
  void LeaveModal() { --modal_level_; }

 private:
  // Marks a procedure as running at the present modal level for as long as it lives.
  class LevelScope {
   public:
    LevelScope(int& slot, int level) : slot_(slot), saved_(slot) { slot_ = level; }
    ~LevelScope() { slot_ = saved_; }
    LevelScope(const LevelScope&) = delete;
    LevelScope& operator=(const LevelScope&) = delete;

   private:
    int& slot_;
    int saved_;
  };

  struct TitledWindow {
    WindowHandle window;
    std::string title;
  };
  int CountScannerWindows(const std::vector<TitledWindow>& titled);
  bool SameProgram(WindowHandle window);
  void FindSaveDialog(WindowHandle window, const std::string& title);
  void ErrorStage(ActionMode mode);
  void PressFinalButton();
  void AnswerReplaceQuestion();
  void SaveAsStage(ActionMode mode);
  void TakeName(const std::string& name);
  void RewriteFilenames();
  std::string PendingName(int index) const;
  std::string SavedImagePath(const std::string& name) const;
  // Activates the window and sends the keys; false when they did not reach it. `reached`: how
  // many of them did, from the first.
  bool Deliver(WindowHandle window, const KeyString& keys, bool wait,
               std::size_t* reached = nullptr);

  RunState state_;
  CycleEvents nobody_;
  CycleEvents* events_ = &nobody_;
  DesktopPort& desktop_;
  FileSystem& files_;
  ControlModel& controls_;
  FormView& view_;

  // Handlers run inside one another when a procedure pumps events. A tick or a census that
  // starts while another is pumping at the same modal level is skipped: the one in progress
  // completes with a fresh, whole count. A modal window (the picker) opens a new level, so the
  // cycle keeps working while it is shown.
  int modal_level_ = 0;
  int tick_level_ = -1;
  int census_level_ = -1;

  SaveDialogOptions dialog_options_;
  // The program that showed itself as the scanning application by its error box; 0 until one has.
  ProgramId scanner_program_ = 0;
  // What the last census found: the program whose DeskScan windows it counted (0: none, or not
  // known), those windows with any whose program cannot be told, the main window among them, the
  // Save As dialog and its keys.
  ProgramId census_program_ = 0;
  std::vector<WindowHandle> scanner_windows_;
  WindowHandle main_window_ = 0;
  WindowHandle save_dialog_ = 0;
  DialogKeys save_dialog_keys_;
  // After a name and the save key went to a dialog, the box it may open to ask about replacing a
  // file is looked for over the next few ticks.
  struct ReplaceWatch {
    WindowHandle dialog;
    int ticks_left;
  };
  std::optional<ReplaceWatch> replace_watch_;
  WindowHandle replace_box_ = 0;  // found by the last census

  // The error box was closed but the final-button keys did not reach the scanning application;
  // the next tick that sees it idle presses the button again. It holds the Tabs of the press
  // that reached the main window before the focus went: the window keeps its focused control, so
  // the press goes on with the Tabs left.
  std::optional<int> owed_press_;
  // The image file of the name now in LastFilename as it was when the name went to "Save As"; a
  // file that has not changed since is left over from an earlier run and does not confirm it.
  std::optional<ImageBefore> last_image_before_;
  // ... and the file of the name that LastFilename took, as it was before it first went.
  std::optional<ImageBefore> first_image_before_;
  std::set<std::string> may_replace_;
  // Where that file was noted: the save folder then.
  std::string last_image_path_;
  // The last tick saw the next error box while "Save As" was awaited.
  bool save_as_missed_seen_ = false;
  // Dialogs that took LastFilename whole; its image not being there after the most a name may
  // have ends the series.
  int sends_of_last_name_ = 0;
};

}  // namespace quorvel
