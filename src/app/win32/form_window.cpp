#include "app/win32/form_window.h"

#include <commctrl.h>
#include <uxtheme.h>

#include "app/layout_queries.h"
#include "common/win32_text.h"

namespace quorvel {
namespace {

struct WindowClassAndStyle {
  const wchar_t* window_class;
  DWORD style;
  DWORD ex_style;
};

WindowClassAndStyle StyleOf(const ControlSpec& row) {
  constexpr DWORD kSunken = WS_EX_CLIENTEDGE;
  const DWORD scroll = (row.flags & kVerticalScroll) != 0 ? WS_VSCROLL : 0;
  switch (row.kind) {
    case ControlKind::kTextBox:
      return {L"EDIT", ES_LEFT | ES_AUTOHSCROLL, kSunken};
    case ControlKind::kMultiLineTextBox:
      return {L"EDIT", ES_LEFT | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | scroll, kSunken};
    case ControlKind::kFrame:
      return {L"BUTTON", BS_GROUPBOX, 0};
    case ControlKind::kOptionButton:
      return {L"BUTTON", BS_RADIOBUTTON | BS_NOTIFY, 0};
    case ControlKind::kCommandButton:
      return {L"BUTTON", BS_PUSHBUTTON | BS_MULTILINE | BS_NOTIFY, 0};
    case ControlKind::kComboBox:
      return {L"COMBOBOX", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL, 0};
    case ControlKind::kDriveList:
      return {L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL, 0};
    case ControlKind::kListBox:
      return {L"LISTBOX", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL, kSunken};
    case ControlKind::kDirList:  // drawn by its window: folders indented by depth
      return {L"LISTBOX",
              LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS,
              kSunken};
    case ControlKind::kLabel:
      return {L"STATIC",
              static_cast<DWORD>(((row.flags & kCentred) != 0 ? SS_CENTER : SS_LEFT) | SS_NOPREFIX),
              0};
    case ControlKind::kLine:
    case ControlKind::kTimer:
      break;
  }
  return {nullptr, 0, 0};
}

// A frame draws only its border and relies on the window beneath to have painted its inside,
// which a window that clips its controls does not do: the frame fills its inside itself.
LRESULT CALLBACK FrameProc(HWND frame, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                           DWORD_PTR) {
  if (message == WM_ERASEBKGND) {
    HDC dc = reinterpret_cast<HDC>(wparam);
    const LRESULT brush =
        SendMessageW(GetParent(frame), WM_CTLCOLORSTATIC, wparam, reinterpret_cast<LPARAM>(frame));
    RECT inside{};
    GetClientRect(frame, &inside);
    FillRect(dc, &inside,
             brush != 0 ? reinterpret_cast<HBRUSH>(brush) : GetSysColorBrush(COLOR_BTNFACE));
    return TRUE;
  }
  return DefSubclassProc(frame, message, wparam, lparam);
}

bool IsDropDown(ControlKind kind) {
  return kind == ControlKind::kComboBox || kind == ControlKind::kDriveList;
}

}  // namespace

FormWindow::~FormWindow() {
  if (window_ != nullptr) DestroyWindow(window_);
  for (auto& [face, font] : fonts_) DeleteObject(font);
  for (auto& [color, brush] : brushes_) {
    if (!IsSystemColor(color)) DeleteObject(brush);
  }
}

HWND FormWindow::Create(const wchar_t* window_class, HINSTANCE instance, const ControlModel& model,
                        void* create_param) {
  HDC screen = GetDC(nullptr);
  dpi_ = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);

  const DWORD style = WS_CLIPCHILDREN | (layout_.sizable ? WS_OVERLAPPEDWINDOW
                                                         : WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU);
  RECT frame{0, 0, TwipsToPixels(layout_.client_width, dpi_),
             TwipsToPixels(layout_.client_height, dpi_)};
  AdjustWindowRectEx(&frame, style, FALSE, 0);
  window_ = CreateWindowExW(0, window_class, Utf8ToWide(layout_.caption).c_str(), style,
                            CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                            frame.bottom - frame.top, nullptr, nullptr, instance, create_param);
  if (window_ == nullptr) return nullptr;

  const std::vector<const ControlSpec*> stacking = StackingOrder(layout_);
  for (const ControlSpec* row : stacking) CreateControl(*row, model[row->id], instance);
  // Stack them as the table does, whatever order the system gave them at creation.
  HWND above = HWND_TOP;
  for (const ControlSpec* row : stacking) {
    HWND control = ControlWindow(row->id);
    SetWindowPos(control, above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    above = control;
  }
  return window_;
}

void FormWindow::CreateControl(const ControlSpec& row, const ControlState& state,
                               HINSTANCE instance) {
  const WindowClassAndStyle kind = StyleOf(row);
  if (kind.window_class == nullptr) return;
  const PixelRect place = ToPixels(AbsoluteRect(row), dpi_);
  // A drop-down list's window also holds the list it drops down.
  const int height = IsDropDown(row.kind) ? place.height * 10 : place.height;
  // Every control is a group of its own: the arrow keys move only between option buttons, and
  // that is handled with the tab order. Overlapping siblings clip one another.
  DWORD style = kind.style | WS_CHILD | WS_CLIPSIBLINGS | WS_GROUP;
  if (row.tab_index >= 0 && row.kind != ControlKind::kLabel && row.kind != ControlKind::kFrame) {
    style |= WS_TABSTOP;
  }
  if (state.visible) style |= WS_VISIBLE;
  const std::wstring caption = IsDropDown(row.kind) ? L"" : Utf8ToWide(state.text);
  const auto id = static_cast<INT_PTR>(kFirstControlWindowId + Index(row.id));
  HWND control = CreateWindowExW(kind.ex_style, kind.window_class, caption.c_str(), style,
                                 place.left, place.top, place.width, height, window_,
                                 reinterpret_cast<HMENU>(id), instance, nullptr);
  controls_[Index(row.id)] = control;
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(row.font)), FALSE);
  if (row.kind == ControlKind::kFrame) SetWindowSubclass(control, &FrameProc, 0, 0);
  // Themed option buttons draw their caption in the theme's colour; the step buttons' red and
  // green need the classic look.
  if (row.kind == ControlKind::kOptionButton && !IsSystemColor(row.fore)) {
    SetWindowTheme(control, L"", L"");
  }
}

ControlId FormWindow::ControlOf(HWND child) const {
  while (child != nullptr && GetParent(child) != window_) child = GetParent(child);
  if (child == nullptr) return ControlId::kNone;
  const int index = GetDlgCtrlID(child) - kFirstControlWindowId;
  if (index < 0 || index >= kControlCount || controls_[index] != child) return ControlId::kNone;
  return static_cast<ControlId>(index);
}

bool FormWindow::ControlColors(HWND child, HDC dc, const ControlModel& model, LRESULT& brush) {
  const ControlId id = ControlOf(child);
  if (id == ControlId::kNone) return false;
  const ControlState& state = model[id];
  SetTextColor(dc, Resolve(state.fore));
  SetBkColor(dc, Resolve(state.back));
  brush = reinterpret_cast<LRESULT>(BrushFor(state.back));
  return true;
}

void FormWindow::PaintLines(HDC dc, const ControlModel& model) const {
  for (const ControlSpec& row : layout_.controls) {
    if (row.kind != ControlKind::kLine) continue;
    HPEN pen = CreatePen(PS_SOLID, 1, Resolve(model[row.id].fore));
    HGDIOBJ previous = SelectObject(dc, pen);
    MoveToEx(dc, TwipsToPixels(row.left, dpi_), TwipsToPixels(row.top, dpi_), nullptr);
    LineTo(dc, TwipsToPixels(row.width, dpi_), TwipsToPixels(row.height, dpi_));
    SelectObject(dc, previous);
    DeleteObject(pen);
  }
}

void FormWindow::RememberFocus() {
  HWND focus = GetFocus();
  if (focus != nullptr && IsChild(window_, focus)) focus_to_restore_ = focus;
}

bool FormWindow::RestoreFocus() {
  if (focus_to_restore_ == nullptr || !IsWindow(focus_to_restore_) ||
      !IsChild(window_, focus_to_restore_)) {
    return false;
  }
  SetFocus(focus_to_restore_);
  return true;
}

COLORREF FormWindow::Resolve(Color color) const {
  return IsSystemColor(color) ? GetSysColor(SystemColorIndex(color)) : static_cast<COLORREF>(color);
}

HFONT FormWindow::FontFor(const FontSpec& font) {
  HFONT& slot = fonts_[{font.face, font.points, font.bold}];
  if (slot == nullptr) {
    const int height = -PointsToPixels(font.points, dpi_);  // the character height, not the cell
    slot = CreateFontW(height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, Utf8ToWide(font.face).c_str());
  }
  return slot;
}

HBRUSH FormWindow::BrushFor(Color color) {
  HBRUSH& slot = brushes_[color];
  if (slot == nullptr) {
    slot = IsSystemColor(color) ? GetSysColorBrush(SystemColorIndex(color))
                                : CreateSolidBrush(static_cast<COLORREF>(color));
  }
  return slot;
}

}  // namespace quorvel
