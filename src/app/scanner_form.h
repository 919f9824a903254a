// The operator window: the values of its controls, the automation cycle, the save-folder picker,
// and the handlers of the window's events. A toolkit binding forwards each event in one call:
// Clicked, TimerFired, FocusChanged, Load, Terminate.
#pragma once

#include <cstdint>
#include <memory>

#include "app/form_host.h"
#include "app/save_dir_form.h"
#include "automation/cycle.h"
#include "controls/control_model.h"
#include "desktop/desktop_port.h"
#include "files/file_system.h"
#include "series/filename_list.h"
#include "supervision/supervisor.h"

namespace quorvel {

// What the command line may change.
struct FormOptions {
  SupervisionOptions supervision;
  SaveDialogOptions save_dialog;
};

class ScannerForm {
 public:
  ScannerForm(DesktopPort& desktop, FileSystem& files, FormHost& host, FormOptions options = {});
  ScannerForm(const ScannerForm&) = delete;
  ScannerForm& operator=(const ScannerForm&) = delete;

  ControlModel& Controls() { return controls_; }
  Cycle& Automation() { return cycle_; }
  RunState& State() { return cycle_.State(); }
  // Null until the picker is first needed, then kept.
  SaveDirForm* Picker() { return picker_.get(); }

  // The events of the operator window and its picker. Clicked(kNone): a click on the operator
  // window's bare surface, where no control, label or frame lies.
  void Clicked(ControlId id);
  void TimerFired(ControlId id);
  // Every move of the focus inside the operator window (kNone: the focus left the window). Only
  // a move from SeedText to another control of the operator window opens the picker.
  void FocusChanged(ControlId from, ControlId to);
  void Load() { Form_Load(); }
  // The window is on the screen: a series cut short is offered back.
  void Shown() { supervisor_.OfferResume(); }
  // The window was closed by the windowing system's close command: the settings are saved and
  // the program ends.
  void Terminate() { EndProgram(); }

 private:
  // Window events (scanner_form.cpp). After EXIT or the close command the settings are not
  // written again, the picker does not open and the automation is off.
  void Form_Load();
  void EndProgram();
  void SeedText_LostFocus();

  // The list of filenames (list_commands.cpp).
  void StartCommand_Click();
  void StopCommand_Click();
  // Loads the names of the list into the queue.
  void ParseText(NameList list);
  void CreateCommand_Click();
  void FillFilenamesBox(std::int16_t Start);

  // The settings file (settings_io.cpp).
  void ReadIni();
  void WriteIni();

  DesktopPort& desktop_;
  FileSystem& files_;
  FormHost& host_;
  ControlModel controls_;
  Cycle cycle_;
  Supervisor supervisor_;
  std::unique_ptr<SaveDirForm> picker_;
  bool ended_ = false;  // EXIT or the close command has run: the program is over
};

}  // namespace quorvel
