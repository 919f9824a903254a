#include "app/control_model.h"

#include "app/layout_queries.h"

namespace quorvel {
namespace {

void Load(std::array<ControlState, kControlCount>& states, const WindowSpec& window) {
  for (const ControlSpec& row : window.controls) {
    ControlState& state = states[Index(row.id)];
    state.text = row.caption;
    state.value = (row.flags & kSelected) != 0;
    state.back = row.back;
    state.fore = row.fore;
    state.visible = (row.flags & kHidden) == 0;
    state.timer_enabled = (row.flags & kEnabledTimer) != 0;
    state.interval_ms = row.interval_ms;
  }
}

}  // namespace

ControlModel::ControlModel() {
  Load(states_, ScannerFormLayout());
  Load(states_, SaveDirFormLayout());
}

void ControlModel::SetText(ControlId id, std::string text) {
  states_[Index(id)].text = std::move(text);
  Changed(id);
}

void ControlModel::SetValue(ControlId id, bool value) {
  const ControlSpec& row = SpecOf(id);
  if (value && row.kind == ControlKind::kOptionButton) {
    for (const ControlSpec* other : OptionGroup(ScannerFormLayout(), row)) {
      if (other->id != id && states_[Index(other->id)].value) {
        states_[Index(other->id)].value = false;
        Changed(other->id);
      }
    }
  }
  states_[Index(id)].value = value;
  Changed(id);
}

void ControlModel::SetBackColor(ControlId id, Color color) {
  states_[Index(id)].back = color;
  Changed(id);
}

void ControlModel::AddItem(ControlId id, std::string item) {
  states_[Index(id)].items.push_back(std::move(item));
  Changed(id);
}

void ControlModel::SetItems(ControlId id, std::vector<std::string> items) {
  states_[Index(id)].items = std::move(items);
  Changed(id);
}

void ControlModel::ClearItems(ControlId id) {
  states_[Index(id)].items.clear();
  Changed(id);
}

void ControlModel::SetTimer(ControlId id, int interval_ms, bool enabled) {
  states_[Index(id)].interval_ms = interval_ms;
  states_[Index(id)].timer_enabled = enabled;
  Changed(id);
}

}  // namespace quorvel
