// The window census: how the program sees the scanning application.
#include <limits>

#include "automation/cycle.h"
#include "automation/save_dialogs.h"
#include "common/ascii.h"

namespace quorvel {

void Cycle::LoadTaskList() {
  if (census_level_ == modal_level_) return;  // the census in progress counts afresh
  LevelScope scope(census_level_, modal_level_);

  state_.DeskScanCount = 0;
  state_.SaveAsPresent = false;
  controls_.ClearItems(ControlId::kCombo1);
  controls_.SetText(ControlId::kCombo1, "");
  for (WindowHandle window : desktop_.ListTopLevelWindows()) {
    const std::string title = desktop_.WindowTitle(window);
    if (!title.empty()) {
      controls_.AddItem(ControlId::kCombo1, title);
      if (ContainsIgnoringCase(title, "deskscan")) {
        controls_.SetText(ControlId::kCombo1, title);
        if (state_.DeskScanCount < std::numeric_limits<std::int16_t>::max()) {
          ++state_.DeskScanCount;
        }
      }
      if (!state_.SaveAsPresent) FindSaveDialog(window, title);
    }
    desktop_.PumpEvents();
  }
}

// A title with "save as" in it, as on an English system, names the dialog. So does, in any
// language, a window that the scanning application owns when it is the system's common file
// dialog, or titled as that dialog is in one of the languages known, or as the operator says.
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
  const bool owned = owner != 0 && ContainsIgnoringCase(desktop_.WindowTitle(owner), "deskscan");
  const std::optional<DesktopPort::FileDialogCaptions> captions =
      owned && !desktop_.NotAnswering(window) ? desktop_.FileDialog(window) : std::nullopt;
  if (!english && (!(captions || titled) || !owned)) return;
  state_.SaveAsPresent = true;
  // Activated as it has always been on an English system; by its own title elsewhere.
  save_dialog_title_ = english ? std::string(kSaveAsTitle) : title;
  save_dialog_keys_ = language ? language->keys : DialogKeys{};
  if (captions) {
    save_dialog_keys_.name = MnemonicOf(captions->name_label).value_or(save_dialog_keys_.name);
    save_dialog_keys_.save = SaveKeyOf(captions->save_button).value_or(save_dialog_keys_.save);
  }
  save_dialog_keys_.name = dialog_options_.name_key.value_or(save_dialog_keys_.name);
  save_dialog_keys_.save = dialog_options_.save_key.value_or(save_dialog_keys_.save);
}

}  // namespace quorvel
