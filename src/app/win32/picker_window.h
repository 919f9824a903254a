// The save-folder picker on Win32: "Find Directory to Save Files In", built from the layout table,
// showing and operating the SaveDirForm model.
#pragma once

#include <windows.h>

#include "app/save_dir_form.h"
#include "app/win32/form_window.h"
#include "controls/control_model.h"

namespace quorvel {

class PickerWindow {
 public:
  // Creates the window, hidden; Handle() is null when the system refuses.
  PickerWindow(HINSTANCE instance, SaveDirForm& model, const ControlModel& controls);
  PickerWindow(const PickerWindow&) = delete;
  PickerWindow& operator=(const PickerWindow&) = delete;

  HWND Handle() const { return window_.Handle(); }
  const FormWindow& Window() const { return window_; }
  SaveDirForm& Model() { return model_; }

  // Shows and activates the window with the model's drives and folders; the focus goes back to
  // where it was, the first time to the drive list.
  void Show();
  void Hide() { ShowWindow(Handle(), SW_HIDE); }

 private:
  friend LRESULT CALLBACK OwnerWindowProc<PickerWindow>(HWND, UINT, WPARAM, LPARAM);
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  void Command(ControlId id, int code);
  void DrawFolder(const DRAWITEMSTRUCT& item) const;
  // Shows the model's drives and directory list.
  void Refresh();

  SaveDirForm& model_;
  const ControlModel& controls_;
  FormWindow window_;
};

}  // namespace quorvel
