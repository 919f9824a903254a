// The toolkit binding without windows: timers fire on a virtual clock, message boxes are
// recorded, and the window position is a pair of numbers. The tests, the soak runs and the
// headless demo drive the operator window through it.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/form_host.h"
#include "common/virtual_clock.h"

namespace quorvel {

class ScannerForm;

class HeadlessHost : public FormHost {
 public:
  explicit HeadlessHost(VirtualClock& clock) : clock_(clock) {}

  // The form whose timers this host fires; arms the timers it has enabled at start-up.
  void Attach(ScannerForm& form);

  // Called at every pump, before due events run: a test's operator acts here.
  std::function<void()> on_pump;
  // Called for every immediate repaint.
  std::function<void(ControlId)> on_repaint;
  // Stands in for the operator while the picker is shown; a picker it leaves open is closed
  // with its button.
  std::function<void(SaveDirForm&)> on_modal;

  // The operator's answer to a question; the default button when not set.
  std::function<bool(const std::string&)> on_ask;

  const std::vector<std::string>& Messages() const { return messages_; }
  const std::vector<std::string>& Questions() const { return questions_; }
  // The alert window's text while it is up; nothing when it is not.
  const std::optional<std::string>& Alert() const { return alert_; }
  // Every text the notice window was given, with its title.
  const std::vector<std::string>& Notices() const { return notices_; }
  int Bells() const { return bells_; }
  int Repaints(ControlId id) const { return repaints_[Index(id)]; }
  bool QuitRequested() const { return quit_; }

  // FormHost.
  void ControlChanged(ControlId id) override;
  void Repaint(ControlId id) override;
  void ShowMessage(const std::string& text) override { messages_.push_back(text); }
  bool Ask(const std::string& text, bool yes_first) override {
    questions_.push_back(text);
    return on_ask ? on_ask(text) : yes_first;
  }
  void ShowAlert(const std::string& title, const std::string& text) override {
    alert_ = title + "\n" + text;
  }
  void CloseAlert() override { alert_.reset(); }
  void ShowNotice(const std::string& title, const std::string& text) override {
    notices_.push_back(title + "\n" + text);
  }
  void Bell() override { ++bells_; }
  void PumpEvents() override;
  void ShowModal(SaveDirForm& picker) override;
  WindowPosition GetWindowPosition() override { return position_; }
  void MoveWindow(WindowPosition position) override { position_ = position; }
  void Quit() override;

 private:
  void ArmTimer(ControlId id);
  void Schedule(ControlId id, int interval_ms);

  VirtualClock& clock_;
  ScannerForm* form_ = nullptr;
  VirtualClock::EventId timer1_ = 0;
  VirtualClock::EventId sleep_timer_ = 0;
  std::vector<std::string> messages_;
  std::vector<std::string> questions_;
  std::optional<std::string> alert_;
  std::vector<std::string> notices_;
  int bells_ = 0;
  std::array<int, kControlCount> repaints_{};
  WindowPosition position_{1500, 2250};
  bool quit_ = false;
};

}  // namespace quorvel
