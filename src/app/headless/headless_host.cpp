#include "app/headless/headless_host.h"

#include "app/scanner_form.h"

namespace quorvel {

void HeadlessHost::Attach(ScannerForm& form) {
  form_ = &form;
  ArmTimer(ControlId::kTimer1);
  ArmTimer(ControlId::kSleepTimer);
}

void HeadlessHost::ControlChanged(ControlId id) {
  if (IsTimer(id)) ArmTimer(id);
}

void HeadlessHost::Repaint(ControlId id) {
  ++repaints_[Index(id)];
  if (on_repaint) on_repaint(id);
}

void HeadlessHost::PumpEvents() {
  if (quit_) return;
  if (on_pump) on_pump();
  clock_.RunDue();
}

void HeadlessHost::ShowModal(SaveDirForm& picker) {
  if (quit_) return;
  if (on_modal) on_modal(picker);
  if (picker.Visible()) picker.Command1_Click();  // an operator who does nothing presses the button
}

void HeadlessHost::Quit() {
  quit_ = true;
  clock_.Cancel(timer1_);
  clock_.Cancel(sleep_timer_);
}

// A timer fires every interval for as long as it is enabled; setting it restarts the count.
void HeadlessHost::ArmTimer(ControlId id) {
  if (form_ == nullptr) return;
  VirtualClock::EventId& event = id == ControlId::kTimer1 ? timer1_ : sleep_timer_;
  clock_.Cancel(event);
  event = 0;
  const ControlState& timer = form_->Controls()[id];
  if (!quit_ && timer.timer_enabled && timer.interval_ms > 0) Schedule(id, timer.interval_ms);
}

void HeadlessHost::Schedule(ControlId id, int interval_ms) {
  VirtualClock::EventId& event = id == ControlId::kTimer1 ? timer1_ : sleep_timer_;
  event = clock_.After(interval_ms, [this, id, interval_ms] {
    Schedule(id, interval_ms);  // the next expiry keeps the period; disabling cancels it
    form_->TimerFired(id);
  });
}

}  // namespace quorvel
