// The window census: how the program sees the scanning application.
#include <limits>

#include "app/scanner_form.h"

namespace quorvel {
namespace {

bool ContainsIgnoringCase(std::string_view title, std::string_view lower_needle) {
  if (lower_needle.size() > title.size()) return false;
  for (std::size_t start = 0; start + lower_needle.size() <= title.size(); ++start) {
    std::size_t i = 0;
    while (i < lower_needle.size()) {
      char c = title[start + i];
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
      if (c != lower_needle[i]) break;
      ++i;
    }
    if (i == lower_needle.size()) return true;
  }
  return false;
}

}  // namespace

void ScannerForm::LoadTaskList() {
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

void ScannerForm::Command4_Click() {
  LoadTaskList();
}

}  // namespace quorvel
