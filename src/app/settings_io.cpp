// The settings file: ReadIni when the window loads, WriteIni when the program ends.
#include "app/scanner_form.h"
#include "common/number_text.h"
#include "settings/settings_file.h"

namespace quorvel {
namespace {

// Beside the program, as a portable copy, when its folder can be written or already holds the
// file; otherwise in the user's own folder for settings, so that a program installed into a
// folder of the system still keeps its settings.
std::string SettingsPath(FileSystem& files) {
  const std::string program = files.ProgramFolder();
  const std::string beside = IniPathFor(program, kPathSeparator);
  if (files.FileExists(beside) || files.CanWriteIn(program)) return beside;
  const std::string user = files.UserSettingsFolder("Quorvel");
  return user.empty() ? beside : IniPathFor(user, kPathSeparator);
}

}  // namespace

void ScannerForm::ReadIni() {
  RunState& state = State();
  if (state.Delay == 0) state.Delay = kDefaultDelayMs;
  state.IniPath = SettingsPath(files_);
  std::string error;
  // A settings file whose folder does not answer is not written over with the defaults.
  if (!files_.FileExists(state.IniPath) && !files_.NoAnswer()) {
    WriteIni();
    return;
  }
  const std::optional<std::string> text =
      files_.NoAnswer() ? std::nullopt : files_.ReadWhole(state.IniPath, error);
  if (!text) {
    if (error.empty()) error = kNoAnswer;
    host_.ShowMessage("The settings file " + Quoted(state.IniPath) + " could not be read (" +
                      error + "). The window stays where it is and the pause is " +
                      DecimalText(state.Delay) + " ms.");
    return;
  }
  const Settings settings = ApplySettings(
      *text, {.position = host_.GetWindowPosition(), .delay = state.Delay}, state.IniPath);
  if (settings.moved) host_.MoveWindow(settings.position);
  for (const std::string& message : settings.messages) host_.ShowMessage(message);
  state.Delay = settings.delay == 0 ? kDefaultDelayMs : settings.delay;
  state.Pausing = false;
}

void ScannerForm::WriteIni() {
  RunState& state = State();
  if (state.IniPath.empty()) state.IniPath = SettingsPath(files_);
  // The user's folder for settings is made the first time something is kept there.
  const std::string folder = FolderOfIniPath(state.IniPath);
  std::string error;
  const std::string text = SettingsText(host_.GetWindowPosition(), state.Delay, desktop_.Now());
  if (!files_.MakeFolder(folder, error) || !files_.Replace(state.IniPath, text, error)) {
    host_.ShowMessage("The settings could not be saved to " + Quoted(state.IniPath) + " (" + error +
                      "). The settings file there is unchanged.");
  }
}

}  // namespace quorvel
