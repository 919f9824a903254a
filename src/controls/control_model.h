// The values of every control, as the logic reads and writes them. A toolkit binding mirrors
// them to real widgets and writes the operator's edits back.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "controls/color.h"
#include "controls/control_id.h"

namespace quorvel {

struct ControlState {
  std::string text;    // caption or text
  bool value = false;  // option button chosen
  Color back = 0;
  Color fore = 0;
  std::vector<std::string> items;  // combo box and list box entries
  bool visible = true;
  bool timer_enabled = false;
  int interval_ms = 0;
  // The option buttons that share a group share this; choosing one clears the others.
  ControlId group = ControlId::kNone;
};

class ControlModel {
 public:
  const ControlState& operator[](ControlId id) const { return states_[Index(id)]; }

  // A control's start-up values; tells nobody.
  void Init(ControlId id, ControlState state) { states_[Index(id)] = std::move(state); }

  const std::string& Text(ControlId id) const { return states_[Index(id)].text; }
  void SetText(ControlId id, std::string text);
  // Option buttons: choosing one clears the others of its group, each with its own notice.
  bool Value(ControlId id) const { return states_[Index(id)].value; }
  void SetValue(ControlId id, bool value);
  void SetBackColor(ControlId id, Color color);
  void AddItem(ControlId id, std::string item);
  void SetItems(ControlId id, std::vector<std::string> items);
  void ClearItems(ControlId id);
  void SetTimer(ControlId id, int interval_ms, bool enabled);

  // Called after every change, with the control that changed.
  void SetObserver(std::function<void(ControlId)> observer) { observer_ = std::move(observer); }

 private:
  void Changed(ControlId id) {
    if (observer_) observer_(id);
  }

  std::array<ControlState, kControlCount> states_;
  std::function<void(ControlId)> observer_;
};

}  // namespace quorvel
