// The binding of the operator window on Win32: real controls built from the layout table and
// mirrored from the form's control model, its two timers, its message boxes, the event loop and the
// modal picker.
#pragma once

#include <windows.h>

#include <array>
#include <bitset>
#include <memory>
#include <utility>

#include "app/form_host.h"
#include "app/win32/alert_window.h"
#include "app/win32/form_window.h"
#include "app/win32/picker_window.h"

namespace quorvel {

class ScannerForm;

class Win32Host : public FormHost {
 public:
  explicit Win32Host(HINSTANCE instance);
  ~Win32Host() override;
  Win32Host(const Win32Host&) = delete;
  Win32Host& operator=(const Win32Host&) = delete;

  // Creates the window, hidden, with its controls showing the form's model and its timers
  // armed; null when the system refuses.
  HWND Create(ScannerForm& form);
  // Shows the window with the focus in the first control of the tab order.
  void Show(int show_command);
  // Runs the event loop until the program ends; returns the exit code.
  int Run();
  const FormWindow& Window() const { return window_; }

  // FormHost.
  void ControlChanged(ControlId id) override;
  void Repaint(ControlId id) override;
  void ShowMessage(const std::string& text) override;
  bool Ask(const std::string& text, bool yes_first) override;
  void ShowAlert(const std::string& title, const std::string& text) override {
    alert_.Show(title, text);
  }
  void CloseAlert() override { alert_.Close(); }
  void ShowNotice(const std::string& title, const std::string& text) override {
    notice_.Show(title, text);
  }
  void Bell() override { MessageBeep(MB_OK); }
  void PumpEvents() override;
  void ShowModal(SaveDirForm& picker) override;
  WindowPosition GetWindowPosition() override;
  void MoveWindow(WindowPosition position) override;
  void Quit() override;

 private:
  friend LRESULT CALLBACK OwnerWindowProc<Win32Host>(HWND, UINT, WPARAM, LPARAM);
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  void Command(ControlId id, int code);
  void EditedText(ControlId id, std::string text);
  void Focused(ControlId id);
  void Activated(bool active);
  void SurfaceMouse(UINT message, LPARAM lparam);
  // One message through the keyboard navigation of whichever of the two windows it is for.
  void Dispatch(MSG& msg);
  void SyncControl(ControlId id);
  void SyncList(ControlId id);
  void SyncStaleLists();
  void ArmTimer(ControlId id);

  HINSTANCE instance_;
  FormWindow window_;
  ScannerForm* form_ = nullptr;
  std::unique_ptr<PickerWindow> picker_;
  AlertWindow alert_;
  AlertWindow notice_;
  // Lists whose items changed since they were last shown; rebuilt once the program is idle (a
  // census adds its titles one by one), at a repaint request, or when the list drops down.
  std::bitset<kControlCount> stale_lists_;
  // The colours each control was last drawn with.
  std::array<std::pair<Color, Color>, kControlCount> drawn_colors_{};
  // The binding is writing into a control: the control's change notifications are its own.
  bool writing_ = false;
  // The control whose edit by the operator is being written into the model.
  ControlId echo_ = ControlId::kNone;
  // Where the focus is, as last told to the form; kNone while the window is inactive.
  ControlId focus_ = ControlId::kNone;
  bool surface_pressed_ = false;
};

}  // namespace quorvel
