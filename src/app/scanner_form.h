// The operator window: its run state, its controls' values, and every handler and procedure
// that works on them. The toolkit binding forwards events to the handlers; the logic reaches the
// desktop only through the DesktopPort and the toolkit only through the FormHost.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/control_model.h"
#include "app/form_host.h"
#include "app/save_dir_form.h"
#include "automation/desktop_port.h"
#include "automation/run_state.h"

namespace quorvel {

enum class ActionMode : std::int16_t { FullAuto = 0, ErrorOnly = 1, ErrorAndSaveAs = 2 };

class ScannerForm {
 public:
  ScannerForm(DesktopPort& desktop, FormHost& host);
  ScannerForm(const ScannerForm&) = delete;
  ScannerForm& operator=(const ScannerForm&) = delete;

  RunState& State() { return state_; }
  ControlModel& Controls() { return controls_; }
  DesktopPort& Desktop() { return desktop_; }
  FormHost& Host() { return host_; }

  // Window census (census.cpp).
  void LoadTaskList();
  void Command4_Click();

  // Automation cycle (cycle.cpp).
  void Timer1_Timer();

  // Step meter and pause timer (meter.cpp).
  void Meter(std::int16_t Line, const std::string& Message, std::int32_t DelayAmount);
  void SleepTimer_Timer();

  // Start and stop (start_stop.cpp).
  void StartCommand_Click();
  void StopCommand_Click();
  void Form_Click();

  // Filename list loader (filename_list.cpp). False: the text holds more names than the queue
  // has slots; the operator has been told and nothing was loaded.
  bool ParseText();

  // Filename series generator (generator.cpp).
  void CreateCommand_Click();
  void FillFilenamesBox(std::int16_t Start);

  // Settings file (settings_file.cpp).
  void ReadIni();
  void WriteIni();

  // Window events (window_events.cpp). Form_Terminate: the window was closed by the windowing
  // system's close command; it saves the settings and ends the program. After EXIT or
  // Form_Terminate the settings are not written again, the picker does not open and the
  // automation is off.
  void Form_Load();
  void Form_Terminate();
  void ExitCommand_Click();
  // Both toolkit bindings call this on every move of the focus inside the operator window
  // (kNone: the focus left the window). Only a move from SeedText to another control of the
  // operator window opens the picker.
  void FocusChanged(ControlId from, ControlId to);

  // Save-folder picker (save_dir_form.cpp). Picker(): null until first needed, then kept.
  void SeedText_LostFocus();
  SaveDirForm* Picker() { return picker_.get(); }

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

  // Cycle stages.
  ActionMode ReadActionMode() const;
  void ErrorStage(ActionMode mode);
  void PressFinalButton();
  void SaveAsStage(ActionMode mode);
  // Why the image of LastFilename does not confirm its save; nothing when it does.
  std::optional<std::string> PreviousSaveProblem();
  void TakeName(const std::string& name);
  void RewriteFilenames();
  std::string PendingName(int index) const;
  std::string SavedImagePath(const std::string& name) const;
  // Activates the window and sends the keys; false when they did not reach it.
  bool Deliver(std::string_view title, const KeyString& keys, bool wait);

  RunState state_;
  ControlModel controls_;
  DesktopPort& desktop_;
  FormHost& host_;

  // Handlers run inside one another when a procedure pumps events. A tick or a census that
  // starts while another is pumping at the same modal level is skipped: the one in progress
  // completes with a fresh, whole count. A modal window (the picker) opens a new level, so the
  // cycle keeps working while it is shown.
  int modal_level_ = 0;
  int tick_level_ = -1;
  int census_level_ = -1;

  // The error box was closed but the final-button keys did not reach the scanning application;
  // the next tick that sees it idle presses the button again.
  bool final_button_owed_ = false;
  // When the name now in LastFilename reached the "Save As" dialog; an image older than this is
  // left over from an earlier run and does not confirm the save.
  std::optional<WallClock::time_point> last_name_sent_at_;
  // Dialogs that took LastFilename whole; its image not being there after the most a name may
  // have ends the series.
  int sends_of_last_name_ = 0;

  // Series bounds: the message naming the offending box, or nothing (generator.cpp).
  std::optional<std::string> SeriesProblem(std::int32_t first_number, std::int16_t Start) const;
  // Applies one "key=value" item of the settings file (settings_file.cpp).
  void ApplySettingsItem(std::string_view item);

  void EndProgram();

  std::unique_ptr<SaveDirForm> picker_;
  bool ended_ = false;  // EXIT or the close command has run: the program is over
};

}  // namespace quorvel
