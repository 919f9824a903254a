// The automation switched on by "ENABLE" and off by "Stop!".
#include "automation/cycle.h"

namespace quorvel {

Cycle::Cycle(DesktopPort& desktop, FileSystem& files, ControlModel& controls, FormView& view,
             SaveDialogOptions dialog_options)
    : desktop_(desktop),
      files_(files),
      controls_(controls),
      view_(view),
      dialog_options_(std::move(dialog_options)) {}

void Cycle::Start() {
  state_.Running = true;
  state_.AwaitingSaveAs = false;
  owed_press_.reset();
  save_as_missed_seen_ = false;
  replace_watch_.reset();
}

void Cycle::StopCommand_Click() {
  state_.Running = false;
  state_.AwaitingSaveAs = false;
  owed_press_.reset();
  LoadTaskList();
  Meter(-1, "No Message", 0);
  state_.LastFilename.clear();
  last_image_before_.reset();
  first_image_before_.reset();
  replace_watch_.reset();
  last_image_path_.clear();
}

}  // namespace quorvel
