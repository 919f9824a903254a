// The window census: how the program sees the scanning application.
#include <limits>

#include "automation/cycle.h"
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
      if (ContainsIgnoringCase(title, "save as")) state_.SaveAsPresent = true;
    }
    desktop_.PumpEvents();
  }
}

}  // namespace quorvel
