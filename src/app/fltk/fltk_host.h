// The FLTK binding of the operator window: the window and its widgets built from the layout
// table, the control model mirrored to the widgets and the operator's edits written back, the
// two timers, the Tab key in tab-index order, the focus moves, a click on the bare surface,
// message boxes and the modal save-folder picker.
#pragma once

#include <bitset>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/fltk/alert_window.h"
#include "app/fltk/form_widgets.h"
#include "app/fltk/surface_window.h"
#include "app/form_host.h"

namespace quorvel {

class ScannerForm;
class PickerWindow;

class FltkHost : public FormHost {
 public:
  // Opens the display and builds the operator window, not yet shown.
  FltkHost();
  ~FltkHost() override;
  FltkHost(const FltkHost&) = delete;
  FltkHost& operator=(const FltkHost&) = delete;

  // Binds the window to the form: shows the model's values, forwards the operator's input and
  // starts the timers the model has enabled. Call once, before the form's load handler.
  void Attach(ScannerForm& form);
  // Shows the window with the focus in the first control of the tab order.
  void Show();

  SurfaceWindow& Window() { return *window_; }
  const FormWidgets& Widgets() const { return *widgets_; }
  // The picker's window and widgets once it has been opened; null before.
  PickerWindow* Picker() { return picker_.get(); }
  // Where each status step is written as a line ("12:00:05  line 3  Clicking Final Button");
  // standard output unless set.
  std::function<void(const std::string&)> on_status_line;

  // FormHost.
  void ControlChanged(ControlId id) override;
  void Repaint(ControlId id) override;
  void ShowMessage(const std::string& text) override;
  bool Ask(const std::string& text, bool yes_first) override;
  void ShowAlert(const std::string& title, const std::string& text) override;
  void CloseAlert() override { alert_.Close(); }
  void ShowNotice(const std::string& title, const std::string& text) override {
    notice_.Show(title, text, dpi_);
  }
  void Bell() override;
  void PumpEvents() override;
  void ShowModal(SaveDirForm& picker) override;
  WindowPosition GetWindowPosition() override;
  void MoveWindow(WindowPosition position) override;
  void Quit() override;

 private:
  static int Dispatch(int event, Fl_Window* window);
  static void OnWidget(Fl_Widget* widget, void* data);
  static void OnTimer(void* data);
  static void OnCheck(void* data);

  // A repeating FLTK timeout standing for one of the form's timers.
  struct Timer {
    FltkHost* host;
    ControlId id;
    double seconds;
  };

  void WireWidgets();
  void Sync(ControlId id);
  void SyncDirty();
  void ArmTimer(ControlId id);
  void WriteStatusLine(int line);
  // The Tab key, in the tab order of the window that holds the focus. False: not ours.
  bool MoveFocus(Fl_Window* window, bool backwards);
  void CheckFocus();

  int dpi_;
  std::unique_ptr<SurfaceWindow> window_;
  std::unique_ptr<FormWidgets> widgets_;
  std::unique_ptr<PickerWindow> picker_;
  AlertWindow alert_;
  AlertWindow notice_;
  ScannerForm* form_ = nullptr;
  std::bitset<kControlCount> dirty_;
  std::vector<ControlId> dirty_list_;
  std::vector<std::string> shown_labels_;
  bool syncing_ = false;  // the binding itself is writing to a widget
  ControlId focus_ = ControlId::kNone;
  bool moved_ = false;  // the window has a place of the program's choosing
  Timer timer1_{this, ControlId::kTimer1, 0};
  Timer sleep_timer_{this, ControlId::kSleepTimer, 0};
};

}  // namespace quorvel
