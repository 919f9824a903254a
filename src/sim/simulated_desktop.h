// A desktop that exists only in memory: top-level windows with titles and owners, a foreground
// window, keystrokes delivered to it, and faults that can be switched on. The stand-in scanning
// application (simulated_scanner.h) lives on it; the demo, the tests and the soak runs use it.
//
// Where it differs from the desktop port's contract:
// - Each window opened without an owner is a program of its own until SetProgram says otherwise.
// - Activation brings forward the topmost window the target owns, a box or not.
// - Keys are handled the moment they arrive: SendKeys returns with them processed.
// - The faults switched on break the contract on purpose (FaultRates).
#pragma once

#include <functional>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/virtual_clock.h"
#include "desktop/desktop_port.h"

namespace quorvel {

// Chances, from 0 to 1, that a fault strikes at each opportunity.
struct FaultRates {
  double activation_failure = 0;    // AppActivate leaves the foreground where it was
  double focus_theft = 0;           // another window takes the focus right before delivery
  double focus_theft_midway = 0;    // ... or between two keys of one delivery
  double vanish_during_census = 0;  // a window goes away between the walk and its title
  double reported_lost = 0;         // every key arrives, yet the delivery is reported refused
  // Another program's window titled "DeskScan" (a folder named after the application) opens, or
  // closes when it is open.
  double stray_deskscan = 0;
  // Another program's "Save As" opens and takes the foreground, or closes when it is open.
  double stray_save_as = 0;
};

struct FaultCounts {
  int activations_failed = 0;
  int focus_thefts = 0;
  int windows_vanished = 0;
  int deliveries_refused = 0;  // SendKeys that found the focus elsewhere
  int deliveries = 0;          // SendKeys that delivered every key
  int reported_lost = 0;       // ... of which were reported refused all the same
  int hung_asked = 0;          // questions put to a window that does not answer: each would wait
  int stray_windows = 0;       // another program's "DeskScan" window opened
  int stray_dialogs = 0;       // another program's "Save As" opened in front
};

// One call of SendKeys: where the keys were meant to go and whether they all arrived.
struct DeliveryLogEntry {
  VirtualClock::Ms time;
  std::string target;  // title of the window activated for it
  std::string keys;    // classic key-string spelling
  bool wait;
  bool delivered;
};

struct KeyLogEntry {
  VirtualClock::Ms time;
  WindowHandle window;
  ProgramId program;  // the window's program
  std::string title;  // the window's title when the key arrived
  Key key;
};

class SimulatedDesktop : public DesktopPort {
 public:
  using KeyHandler = std::function<void(WindowHandle, const Key&)>;

  explicit SimulatedDesktop(VirtualClock& clock, unsigned seed = 1);

  // Windows. A new window opens on top of all others. Keys that reach a window go to its
  // handler; `owner` makes it a box of that window, which activating the owner brings forward.
  // A box belongs to its owner's program; any other window to a program of its own.
  WindowHandle OpenWindow(std::string title, WindowHandle owner = 0, KeyHandler handler = {});
  // Moves the window to another program; 0: one that cannot be told.
  void SetProgram(WindowHandle window, ProgramId program);
  void CloseWindow(WindowHandle window);
  void SetTitle(WindowHandle window, std::string title);
  bool IsOpen(WindowHandle window) const;
  WindowHandle Foreground() const { return foreground_; }
  void SetForeground(WindowHandle window);
  // A window the focus can be stolen by; a terminal is opened when none is named.
  void SetBystander(WindowHandle window) { bystander_ = window; }

  // Faults.
  void SetFaultRates(const FaultRates& rates) { rates_ = rates; }
  void FailNextActivation() { forced_.activation_failure = true; }
  // Before the key numbered `after_keys` of the next delivery (0: before the first).
  void StealFocusDuringNextDelivery(int after_keys = 0) { forced_steal_after_ = after_keys; }
  void VanishDuringNextCensus() { forced_.vanish_during_census = true; }
  void ReportNextDeliveryLost() { forced_.reported_lost = true; }
  // The window's program stops taking messages, as a hung program does: it keeps the foreground
  // it holds, and it takes no keys.
  void Hang(WindowHandle window);
  const FaultCounts& Faults() const { return counts_; }
  bool Roll(double rate);

  const std::vector<KeyLogEntry>& KeyLog() const { return key_log_; }
  const std::vector<DeliveryLogEntry>& DeliveryLog() const { return delivery_log_; }
  // The keys one window received, in the classic key-string spelling.
  std::string KeysReceivedBy(WindowHandle window) const;
  // True while an Alt key is held down; delivery always releases it.
  bool AltHeld() const { return alt_held_; }

  VirtualClock& Clock() { return clock_; }

  // DesktopPort.
  std::vector<WindowHandle> ListTopLevelWindows() override;
  std::string WindowTitle(WindowHandle window) override;
  WindowHandle OwnerOf(WindowHandle window) override;
  bool NotAnswering(WindowHandle window) override;
  std::optional<FileDialogCaptions> FileDialog(WindowHandle window) override;
  bool ReadsFileDialogs() const override { return true; }
  // Makes the window a common file dialog with these captions.
  void MakeFileDialog(WindowHandle window, FileDialogCaptions captions);
  // Makes the window a question box with these captions.
  void MakeQuestionBox(WindowHandle window, QuestionCaptions captions);
  // How many times the window was asked for its file dialog's captions.
  int CaptionQuestions(WindowHandle window) const;
  ProgramId ProgramOf(WindowHandle window) override;
  QuestionCaptions QuestionBox(WindowHandle window) override;
  bool AppActivate(std::string_view title) override;
  bool Activate(WindowHandle window) override;
  bool SendKeys(const KeyString& keys, bool wait) override;
  std::size_t KeysDelivered() const override { return keys_delivered_; }
  bool RunCommand(const std::string& command, const std::string& argument) override;
  WallClock::time_point Now() override;
  // Every command started, with its argument.
  const std::vector<std::pair<std::string, std::string>>& Commands() const { return commands_; }

 private:
  struct Window {
    WindowHandle handle;
    std::string title;
    WindowHandle owner;
    ProgramId program;
    KeyHandler handler;
    std::optional<FileDialogCaptions> file_dialog;
    QuestionCaptions question;
    bool hung = false;
    int caption_questions = 0;
  };
  Window* Find(WindowHandle window);
  const Window* Find(WindowHandle window) const;
  WindowHandle TopOwnedBy(WindowHandle owner) const;
  bool FocusBelongsToTarget() const;
  void StealFocus();
  void StrayWindows();

  VirtualClock& clock_;
  std::mt19937 random_;
  WallClock::time_point epoch_;
  WindowHandle next_handle_ = 0x1000;
  std::unordered_map<WindowHandle, Window> windows_;
  std::vector<WindowHandle> z_order_;  // topmost first
  WindowHandle foreground_ = 0;
  WindowHandle target_ = 0;
  WindowHandle bystander_ = 0;
  ProgramId next_program_ = 100;
  WindowHandle stray_deskscan_ = 0;
  WindowHandle stray_owner_ = 0;  // the other program's main window, and its "Save As"
  WindowHandle stray_save_as_ = 0;
  FaultRates rates_;
  struct {
    bool activation_failure = false;
    bool vanish_during_census = false;
    bool reported_lost = false;
  } forced_;
  int forced_steal_after_ = -1;
  std::size_t keys_delivered_ = 0;  // by the last SendKeys
  FaultCounts counts_;
  std::vector<KeyLogEntry> key_log_;
  std::vector<DeliveryLogEntry> delivery_log_;
  bool alt_held_ = false;
  std::vector<std::pair<std::string, std::string>> commands_;
};

}  // namespace quorvel
