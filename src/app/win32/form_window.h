// A top-level window built from a window of the layout table: its client area, one child window
// per control, stacked and sized as the table says, and the fonts and brushes they draw with.
// Shared by the operator window and the save-folder picker.
#pragma once

#include <windows.h>

#include <array>
#include <map>
#include <tuple>

#include "app/layout.h"
#include "app/layout_queries.h"
#include "controls/control_model.h"

namespace quorvel {

// Control window identifiers start above IDOK and IDCANCEL, which the dialog keys send.
inline constexpr int kFirstControlWindowId = 100;

// The window procedure of a window whose creation parameter is its owner: the owner is kept in
// the window's user data, and each message after it goes to the owner's HandleMessage.
template <typename Owner>
LRESULT CALLBACK OwnerWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* owner = reinterpret_cast<Owner*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (owner == nullptr) return DefWindowProcW(window, message, wparam, lparam);
  return owner->HandleMessage(window, message, wparam, lparam);
}

class FormWindow {
 public:
  explicit FormWindow(const WindowSpec& layout) : layout_(layout) {}
  ~FormWindow();
  FormWindow(const FormWindow&) = delete;
  FormWindow& operator=(const FormWindow&) = delete;

  // Creates the window (hidden, at the system's default place) of the registered class, with its
  // client area sized from the table, then its controls with their start-up values from `model`.
  // `this` is the creation parameter the class's window procedure receives.
  HWND Create(const wchar_t* window_class, HINSTANCE instance, const ControlModel& model,
              void* create_param);

  HWND Handle() const { return window_; }
  const WindowSpec& Layout() const { return layout_; }
  int Dpi() const { return dpi_; }
  HWND ControlWindow(ControlId id) const { return controls_[Index(id)]; }
  // The control that `child` (or one of its ancestors, such as a combo box's edit field) is;
  // kNone for a window that is not one of this window's controls.
  ControlId ControlOf(HWND child) const;
  // Answers WM_CTLCOLOR*: the control's colours from the model. False when the model names
  // no colours for it (the system's defaults then apply).
  bool ControlColors(HWND child, HDC dc, const ControlModel& model, LRESULT& brush);
  // Draws the table's lines on the window's surface (inside WM_PAINT).
  void PaintLines(HDC dc, const ControlModel& model) const;
  COLORREF Resolve(Color color) const;
  // Twips from a client-area point in pixels.
  int PixelsToTwips(int pixels) const { return quorvel::PixelsToTwips(pixels, dpi_); }
  // Keeps the control that has the focus while the window is deactivated, and gives the focus
  // back to it when the window is activated again (as a dialog does). False: nothing to restore.
  void RememberFocus();
  bool RestoreFocus();

 private:
  HFONT FontFor(const FontSpec& font);
  HBRUSH BrushFor(Color color);
  void CreateControl(const ControlSpec& row, const ControlState& state, HINSTANCE instance);

  const WindowSpec& layout_;
  HWND window_ = nullptr;
  int dpi_ = 96;
  std::array<HWND, kControlCount> controls_{};
  HWND focus_to_restore_ = nullptr;
  std::map<std::tuple<std::string_view, double, bool>, HFONT> fonts_;
  std::map<Color, HBRUSH> brushes_;
};

}  // namespace quorvel
