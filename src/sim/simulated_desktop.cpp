#include "sim/simulated_desktop.h"

#include <algorithm>

#include "common/utf8.h"
#include "desktop/title_match.h"

namespace quorvel {

SimulatedDesktop::SimulatedDesktop(VirtualClock& clock, unsigned seed)
    : clock_(clock),
      random_(seed),
      epoch_(std::chrono::time_point_cast<std::chrono::seconds>(WallClock::now())) {}

WindowHandle SimulatedDesktop::OpenWindow(std::string title, WindowHandle owner,
                                          KeyHandler handler) {
  const WindowHandle handle = next_handle_++;
  const Window* owning = Find(owner);
  const ProgramId program = owning ? owning->program : next_program_++;
  windows_.emplace(handle,
                   Window{handle, std::move(title), owner, program, std::move(handler), {}, {}});
  z_order_.insert(z_order_.begin(), handle);
  return handle;
}

void SimulatedDesktop::CloseWindow(WindowHandle window) {
  const Window* closing = Find(window);
  if (closing == nullptr) return;
  const WindowHandle owner = closing->owner;
  windows_.erase(window);
  std::erase(z_order_, window);
  if (foreground_ == window) {
    foreground_ = IsOpen(owner) ? owner : z_order_.empty() ? 0 : z_order_.front();
  }
}

void SimulatedDesktop::SetProgram(WindowHandle window, ProgramId program) {
  if (Window* w = Find(window)) w->program = program;
}

void SimulatedDesktop::SetTitle(WindowHandle window, std::string title) {
  if (Window* w = Find(window)) w->title = std::move(title);
}

bool SimulatedDesktop::IsOpen(WindowHandle window) const {
  return Find(window) != nullptr;
}

void SimulatedDesktop::SetForeground(WindowHandle window) {
  const auto it = std::find(z_order_.begin(), z_order_.end(), window);
  if (it == z_order_.end()) return;
  std::rotate(z_order_.begin(), it, it + 1);  // raise it to the top
  foreground_ = window;
}

bool SimulatedDesktop::Roll(double rate) {
  return rate > 0 && std::uniform_real_distribution<double>(0.0, 1.0)(random_) < rate;
}

std::string SimulatedDesktop::KeysReceivedBy(WindowHandle window) const {
  std::string text;
  for (const KeyLogEntry& entry : key_log_) {
    if (entry.window != window) continue;
    if (entry.key.kind == Key::Kind::kAltChord) text.push_back('%');
    AppendUtf8(text, entry.key.character);
  }
  return text;
}

std::vector<WindowHandle> SimulatedDesktop::ListTopLevelWindows() {
  StrayWindows();
  std::vector<WindowHandle> list = z_order_;
  if (std::exchange(forced_.vanish_during_census, false) || Roll(rates_.vanish_during_census)) {
    // A short-lived window: the walk saw it, but it is gone before its title is read.
    const auto at = std::uniform_int_distribution<std::size_t>(0, list.size())(random_);
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(at), next_handle_++);
    ++counts_.windows_vanished;
  }
  return list;
}

std::string SimulatedDesktop::WindowTitle(WindowHandle window) {
  const Window* w = Find(window);
  return w ? w->title : std::string();
}

WindowHandle SimulatedDesktop::OwnerOf(WindowHandle window) {
  const Window* w = Find(window);
  return w ? w->owner : 0;
}

ProgramId SimulatedDesktop::ProgramOf(WindowHandle window) {
  const Window* w = Find(window);
  return w ? w->program : 0;
}

DesktopPort::QuestionCaptions SimulatedDesktop::QuestionBox(WindowHandle window) {
  const Window* w = Find(window);
  return w && !w->hung ? w->question : QuestionCaptions{};
}

void SimulatedDesktop::MakeQuestionBox(WindowHandle window, QuestionCaptions captions) {
  if (Window* w = Find(window)) w->question = std::move(captions);
}

bool SimulatedDesktop::NotAnswering(WindowHandle window) {
  const Window* w = Find(window);
  return w != nullptr && w->hung;
}

void SimulatedDesktop::Hang(WindowHandle window) {
  if (Window* w = Find(window)) w->hung = true;
}

std::optional<DesktopPort::FileDialogCaptions> SimulatedDesktop::FileDialog(WindowHandle window) {
  Window* w = Find(window);
  if (w == nullptr) return std::nullopt;
  ++w->caption_questions;
  if (w->hung) ++counts_.hung_asked;
  return w->file_dialog;
}

int SimulatedDesktop::CaptionQuestions(WindowHandle window) const {
  const Window* w = Find(window);
  return w ? w->caption_questions : 0;
}

void SimulatedDesktop::MakeFileDialog(WindowHandle window, FileDialogCaptions captions) {
  if (Window* w = Find(window)) w->file_dialog = std::move(captions);
}

bool SimulatedDesktop::AppActivate(std::string_view title) {
  std::vector<std::string> titles;
  titles.reserve(z_order_.size());
  for (WindowHandle handle : z_order_) titles.push_back(Find(handle)->title);
  const auto match = MatchTitle(titles, title);
  return Activate(match ? z_order_[*match] : 0);
}

bool SimulatedDesktop::Activate(WindowHandle window) {
  target_ = IsOpen(window) ? window : 0;
  if (target_ == 0) return false;
  if (std::exchange(forced_.activation_failure, false) || Roll(rates_.activation_failure)) {
    ++counts_.activations_failed;  // the request was refused; the focus stays where it was
    return true;
  }
  const WindowHandle box = TopOwnedBy(target_);
  if (!NotAnswering(foreground_)) SetForeground(box ? box : target_);
  return true;
}

bool SimulatedDesktop::SendKeys(const KeyString& keys, bool wait) {
  const Window* target = Find(target_);
  delivery_log_.push_back(
      {clock_.Now(), target ? target->title : std::string(), keys.ToText(), wait, false});
  const std::size_t entry = delivery_log_.size() - 1;
  // Keys are handled the moment they arrive, so a delivery that returns has been processed.
  const std::vector<Key>& list = keys.Keys();
  int steal_at = std::exchange(forced_steal_after_, -1);
  if (steal_at < 0 && Roll(rates_.focus_theft)) steal_at = 0;
  if (steal_at < 0 && list.size() > 1 && Roll(rates_.focus_theft_midway)) {
    steal_at = std::uniform_int_distribution<int>(1, static_cast<int>(list.size()) - 1)(random_);
  }
  for (keys_delivered_ = 0; keys_delivered_ < list.size(); ++keys_delivered_) {
    const std::size_t i = keys_delivered_;
    if (static_cast<int>(i) == steal_at) StealFocus();
    if (!FocusBelongsToTarget()) {
      ++counts_.deliveries_refused;
      return false;
    }
    const Window* w = Find(foreground_);
    const Key& key = list[i];
    alt_held_ = key.kind == Key::Kind::kAltChord;
    key_log_.push_back({clock_.Now(), w->handle, w->program, w->title, key});
    const KeyHandler handler = w->handler;  // the handler may open and close windows
    if (handler) handler(w->handle, key);
    alt_held_ = false;
  }
  ++counts_.deliveries;
  if (std::exchange(forced_.reported_lost, false) || Roll(rates_.reported_lost)) {
    ++counts_.reported_lost;
    if (keys_delivered_ > 0) --keys_delivered_;  // the port doubts the last key's arrival
    return false;
  }
  delivery_log_[entry].delivered = true;
  return true;
}

bool SimulatedDesktop::RunCommand(const std::string& command, const std::string& argument) {
  commands_.emplace_back(command, argument);
  return true;
}

WallClock::time_point SimulatedDesktop::Now() {
  return epoch_ + std::chrono::milliseconds(clock_.Now());
}

SimulatedDesktop::Window* SimulatedDesktop::Find(WindowHandle window) {
  const auto it = windows_.find(window);
  return it == windows_.end() ? nullptr : &it->second;
}

const SimulatedDesktop::Window* SimulatedDesktop::Find(WindowHandle window) const {
  return const_cast<SimulatedDesktop*>(this)->Find(window);
}

WindowHandle SimulatedDesktop::TopOwnedBy(WindowHandle owner) const {
  const auto it = std::find_if(z_order_.begin(), z_order_.end(),
                               [&](WindowHandle handle) { return Find(handle)->owner == owner; });
  return it == z_order_.end() ? 0 : *it;
}

bool SimulatedDesktop::FocusBelongsToTarget() const {
  const Window* focus = Find(foreground_);
  return focus != nullptr && !focus->hung && target_ != 0 && IsOpen(target_) &&
         (focus->handle == target_ || focus->owner == target_);
}

// Another program's windows that look like the scanning application's: a folder window titled
// "DeskScan", and a "Save As" of its own that takes the foreground, as the operator works in it.
void SimulatedDesktop::StrayWindows() {
  if (Roll(rates_.stray_deskscan)) {
    if (IsOpen(stray_deskscan_)) {
      CloseWindow(stray_deskscan_);
    } else {
      stray_deskscan_ = OpenWindow("DeskScan");
      ++counts_.stray_windows;
    }
  }
  if (Roll(rates_.stray_save_as)) {
    if (IsOpen(stray_save_as_)) {
      CloseWindow(stray_save_as_);
    } else {
      if (!IsOpen(stray_owner_)) stray_owner_ = OpenWindow("Notes - Word Processor");
      stray_save_as_ = OpenWindow("Save As", stray_owner_);
      SetForeground(stray_save_as_);
      ++counts_.stray_dialogs;
    }
  }
}

void SimulatedDesktop::StealFocus() {
  if (!IsOpen(bystander_)) bystander_ = OpenWindow("Terminal");
  SetForeground(bystander_);
  ++counts_.focus_thefts;
}

}  // namespace quorvel
