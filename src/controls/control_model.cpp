#include "controls/control_model.h"

namespace quorvel {
void ControlModel::SetText(ControlId id, std::string text) {
  states_[Index(id)].text = std::move(text);
  Changed(id);
}

void ControlModel::SetValue(ControlId id, bool value) {
  const ControlId group = states_[Index(id)].group;
  if (value && group != ControlId::kNone) {
    for (int other = 0; other < kControlCount; ++other) {
      ControlState& state = states_[other];
      if (other != Index(id) && state.group == group && state.value) {
        state.value = false;
        Changed(static_cast<ControlId>(other));
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
