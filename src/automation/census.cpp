// The window census: how the program sees the scanning application.
#include <algorithm>
#include <limits>
#include <map>

#include "automation/cycle.h"
#include "automation/save_dialogs.h"
#include "common/ascii.h"
#include "desktop/title_match.h"

namespace quorvel {
namespace {

constexpr std::string_view kMainTitle = "DeskScan II";

bool Holds(const std::vector<WindowHandle>& windows, WindowHandle window) {
  return window != 0 && std::find(windows.begin(), windows.end(), window) != windows.end();
}

}  // namespace

void Cycle::LoadTaskList() {
  if (census_level_ == modal_level_) return;  // the census in progress counts afresh
  LevelScope scope(census_level_, modal_level_);

  state_.DeskScanCount = 0;
  state_.SaveAsPresent = false;
  main_window_ = save_dialog_ = replace_box_ = 0;
  controls_.ClearItems(ControlId::kCombo1);
  controls_.SetText(ControlId::kCombo1, "");
  std::vector<TitledWindow> titled;
  for (WindowHandle window : desktop_.ListTopLevelWindows()) {
    std::string title = desktop_.WindowTitle(window);
    if (!title.empty()) {
      controls_.AddItem(ControlId::kCombo1, title);
      if (ContainsIgnoringCase(title, "deskscan")) controls_.SetText(ControlId::kCombo1, title);
      titled.push_back({window, std::move(title)});
    }
    desktop_.PumpEvents();
  }
  const int count = CountScannerWindows(titled);
  state_.DeskScanCount =
      static_cast<std::int16_t>(std::min<int>(count, std::numeric_limits<std::int16_t>::max()));
  std::vector<std::string> titles;
  for (WindowHandle window : scanner_windows_) titles.push_back(desktop_.WindowTitle(window));
  if (const auto main = MatchTitle(titles, kMainTitle)) main_window_ = scanner_windows_[*main];
  for (const TitledWindow& seen : titled) {
    if (replace_watch_ && !replace_box_ &&
        desktop_.OwnerOf(seen.window) == replace_watch_->dialog && SameProgram(seen.window)) {
      replace_box_ = seen.window;
    }
    if (!state_.SaveAsPresent) FindSaveDialog(seen.window, seen.title);
  }
}

// The DeskScan windows (title holding "deskscan") are counted within one program, the scanning
// application's, so that a window of another program never counts, whatever its title: a file
// manager showing a folder named "DeskScan", a browser showing the application's manual. Where
// several programs show one, the one whose DeskScan window owns another of its DeskScan windows
// (the error box) shows itself as the scanning application, and is kept from then on while it
// shows a DeskScan window. Until one does so, each showing one window is taken for the picture of
// "no error box", and nothing is sent anywhere. A window whose program cannot be told counts by
// its title alone, with any program's.
int Cycle::CountScannerWindows(const std::vector<TitledWindow>& titled) {
  std::vector<WindowHandle> unknown;
  std::map<ProgramId, std::vector<WindowHandle>> programs;
  for (const TitledWindow& seen : titled) {
    if (!ContainsIgnoringCase(seen.title, "deskscan")) continue;
    const ProgramId program = desktop_.ProgramOf(seen.window);
    (program != 0 ? programs[program] : unknown).push_back(seen.window);
  }
  if (!programs.contains(scanner_program_)) {
    std::vector<ProgramId> with_box;
    for (const auto& entry : programs) {
      const std::vector<WindowHandle>& windows = entry.second;
      if (std::any_of(windows.begin(), windows.end(), [&](WindowHandle window) {
            return Holds(windows, desktop_.OwnerOf(window));
          })) {
        with_box.push_back(entry.first);
      }
    }
    scanner_program_ = with_box.size() == 1 ? with_box.front() : 0;
  }
  census_program_ = programs.contains(scanner_program_) ? scanner_program_
                    : programs.size() == 1              ? programs.begin()->first
                                                        : 0;
  scanner_windows_ = unknown;
  if (census_program_ != 0) {
    const std::vector<WindowHandle>& own = programs[census_program_];
    scanner_windows_.insert(scanner_windows_.end(), own.begin(), own.end());
    return static_cast<int>(scanner_windows_.size());
  }
  const bool one_each = std::all_of(programs.begin(), programs.end(),
                                    [](const auto& entry) { return entry.second.size() == 1; });
  return static_cast<int>(unknown.size()) + (!programs.empty() && one_each ? 1 : 0);
}

// The window belongs to the scanning application's program, or its program cannot be told.
bool Cycle::SameProgram(WindowHandle window) {
  const ProgramId program = desktop_.ProgramOf(window);
  return program == 0 || program == census_program_;
}

// A title with "save as" in it, as on an English system, names the dialog when the dialog is of
// the scanning application's program, or owned by one of its DeskScan windows, or its program
// cannot be told. So does, in any language, a window that a DeskScan window of the scanning
// application owns when it is the system's common file dialog, or titled as that dialog is in one
// of the languages known, or as the operator says.
//
// The owner is known without asking the window's program anything; only a dialog of the scanning
// application that still answers is asked for its captions, since a program that hangs (a file
// dialog browsing an unreachable network drive) would keep the question waiting.
void Cycle::FindSaveDialog(WindowHandle window, const std::string& title) {
  const bool english = ContainsIgnoringCase(title, "save as");
  const SaveDialogLanguage* language = SaveDialogTitled(title);
  const bool titled =
      english || language || (!dialog_options_.title.empty() && title == dialog_options_.title);
  // Where the system cannot tell its file dialog (X11), only a titled window can be the dialog,
  // and no other is asked for its owner: a census of many windows stays one batch of requests.
  if (!titled && !desktop_.ReadsFileDialogs()) return;
  const WindowHandle owner = desktop_.OwnerOf(window);
  // The question a dialog that was sent a name asks (titled as the dialog) is no dialog.
  if (replace_watch_ && owner == replace_watch_->dialog) return;
  const bool owned = Holds(scanner_windows_, owner);
  const std::optional<DesktopPort::FileDialogCaptions> captions =
      owned && !desktop_.NotAnswering(window) ? desktop_.FileDialog(window) : std::nullopt;
  if (english ? !owned && !SameProgram(window) : !(captions || titled) || !owned) return;
  state_.SaveAsPresent = true;
  save_dialog_ = window;
  save_dialog_keys_ = language ? language->keys : DialogKeys{};
  if (captions) {
    save_dialog_keys_.name = MnemonicOf(captions->name_label).value_or(save_dialog_keys_.name);
    save_dialog_keys_.save = SaveKeyOf(captions->save_button).value_or(save_dialog_keys_.save);
  }
  save_dialog_keys_.name = dialog_options_.name_key.value_or(save_dialog_keys_.name);
  save_dialog_keys_.save = dialog_options_.save_key.value_or(save_dialog_keys_.save);
}

}  // namespace quorvel
