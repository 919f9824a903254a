// The step meter: ten status lines, the pause label and the one-shot pause timer.
#include "automation/cycle.h"
#include "common/number_text.h"

namespace quorvel {

void Cycle::Meter(std::int16_t Line, const std::string& Message, std::int32_t DelayAmount) {
  desktop_.PumpEvents();
  for (int line = 0; line < kStatusLines; ++line) {
    if (controls_[DelayText(line)].back != kButtonFace) {
      controls_.SetBackColor(DelayText(line), kButtonFace);
    }
  }
  if (Line < 0 || Line >= kStatusLines) return;

  const ControlId status = DelayText(Line);
  controls_.SetBackColor(status, kRed);
  controls_.SetText(status, Message);
  view_.Repaint(status);
  controls_.SetText(ControlId::kSleepLabel, DelayAmount > 0 ? DecimalText(DelayAmount) : "");
  if (DelayAmount > 0) {
    controls_.SetTimer(ControlId::kSleepTimer, DelayAmount, true);
    state_.Pausing = true;
  }
}

void Cycle::SleepTimer_Timer() {
  controls_.SetTimer(ControlId::kSleepTimer, controls_[ControlId::kSleepTimer].interval_ms, false);
  state_.Pausing = false;
}

}  // namespace quorvel
