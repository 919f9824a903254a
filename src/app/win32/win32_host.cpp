#include "app/win32/win32_host.h"

#include <cmath>

#include "app/layout_queries.h"
#include "app/scanner_form.h"
#include "app/win32/dialog_keys.h"
#include "common/win32_text.h"

namespace quorvel {
namespace {

constexpr wchar_t kOperatorClass[] = L"QuorvelScannerForm";
// Posted when the focus has moved between controls: wparam from, lparam to.
constexpr UINT kFocusMoved = WM_APP + 1;

UINT_PTR TimerId(ControlId timer) {
  return static_cast<UINT_PTR>(Index(timer)) + 1;
}

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

bool IsFocusNotice(ControlKind kind, int code) {
  switch (kind) {
    case ControlKind::kTextBox:
    case ControlKind::kMultiLineTextBox:
      return code == EN_SETFOCUS;
    case ControlKind::kOptionButton:
    case ControlKind::kCommandButton:
      return code == BN_SETFOCUS;
    case ControlKind::kComboBox:
      return code == CBN_SETFOCUS;
    case ControlKind::kListBox:
      return code == LBN_SETFOCUS;
    default:
      return false;
  }
}

BOOL CALLBACK HideWindow(HWND window, LPARAM) {
  ShowWindow(window, SW_HIDE);
  return TRUE;
}

}  // namespace

Win32Host::Win32Host(HINSTANCE instance)
    : instance_(instance),
      window_(ScannerFormLayout()),
      alert_(instance),
      notice_(instance, AlertWindow::Closing::kByTheOperator) {}

Win32Host::~Win32Host() = default;

HWND Win32Host::Create(ScannerForm& form) {
  form_ = &form;
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = &OwnerWindowProc<Win32Host>;
  window_class.hInstance = instance_;
  window_class.hIcon = LoadIconW(instance_, MAKEINTRESOURCEW(1));
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  window_class.lpszClassName = kOperatorClass;
  if (RegisterClassExW(&window_class) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    return nullptr;
  }
  if (window_.Create(kOperatorClass, instance_, form.Controls(), this) == nullptr) return nullptr;
  for (const ControlSpec& row : window_.Layout().controls) {
    if (window_.ControlWindow(row.id) == nullptr) continue;
    drawn_colors_[Index(row.id)] = {form.Controls()[row.id].back, form.Controls()[row.id].fore};
    stale_lists_.set(Index(row.id), !form.Controls()[row.id].items.empty());
    SyncControl(row.id);
  }
  ArmTimer(ControlId::kTimer1);
  ArmTimer(ControlId::kSleepTimer);
  return window_.Handle();
}

void Win32Host::Show(int show_command) {
  ShowWindow(window_.Handle(), show_command);
  UpdateWindow(window_.Handle());
  const std::vector<const ControlSpec*> order = TabOrder(window_.Layout());
  if (!order.empty()) SetFocus(window_.ControlWindow(order.front()->id));
}

int Win32Host::Run() {
  MSG msg{};
  for (;;) {
    if (PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE) == FALSE) SyncStaleLists();
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(msg.wParam);
    if (got < 0) return 1;
    Dispatch(msg);
  }
}

void Win32Host::Dispatch(MSG& msg) {
  if (TranslateDialogKeys(msg, window_)) return;
  if (picker_ != nullptr && TranslateDialogKeys(msg, picker_->Window())) return;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

// The model's changes reach the controls here: texts, choices, colours and visibility at once
// (each is one cheap call), list items once the program is idle or a repaint asks for them.
void Win32Host::ControlChanged(ControlId id) {
  if (form_ == nullptr || window_.Handle() == nullptr) return;  // Create() shows the values
  if (IsTimer(id)) {
    ArmTimer(id);
    return;
  }
  if (id == echo_ || window_.ControlWindow(id) == nullptr) return;
  const ControlKind kind = SpecOf(id).kind;
  if (kind == ControlKind::kComboBox || kind == ControlKind::kListBox) stale_lists_.set(Index(id));
  SyncControl(id);
}

void Win32Host::SyncControl(ControlId id) {
  HWND control = window_.ControlWindow(id);
  const ControlState& state = form_->Controls()[id];
  const ControlSpec& row = SpecOf(id);
  writing_ = true;
  if (row.kind != ControlKind::kListBox) {
    const std::wstring text = Utf8ToWide(state.text);
    if (WindowText(control) != text) SetWindowTextW(control, text.c_str());
  }
  if (row.kind == ControlKind::kOptionButton) {
    SendMessageW(control, BM_SETCHECK, state.value ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  writing_ = false;
  const bool shown = (GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) != 0;
  if (shown != state.visible) {
    ShowWindow(control, state.visible ? SW_SHOWNA : SW_HIDE);
  }
  auto& drawn = drawn_colors_[Index(id)];
  if (drawn != std::pair{state.back, state.fore}) {
    drawn = {state.back, state.fore};
    InvalidateRect(control, nullptr, TRUE);
  }
}

void Win32Host::SyncList(ControlId id) {
  if (!stale_lists_.test(Index(id))) return;
  stale_lists_.reset(Index(id));
  HWND control = window_.ControlWindow(id);
  const bool combo = SpecOf(id).kind == ControlKind::kComboBox;
  const std::vector<std::string>& items = form_->Controls()[id].items;
  writing_ = true;
  SendMessageW(control, WM_SETREDRAW, FALSE, 0);
  SendMessageW(control, combo ? CB_RESETCONTENT : LB_RESETCONTENT, 0, 0);
  SendMessageW(control, combo ? CB_INITSTORAGE : LB_INITSTORAGE, items.size(),
               static_cast<LPARAM>(items.size() * 32));
  for (const std::string& item : items) {
    const std::wstring wide = Utf8ToWide(item);
    SendMessageW(control, combo ? CB_ADDSTRING : LB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(wide.c_str()));
  }
  SendMessageW(control, WM_SETREDRAW, TRUE, 0);
  writing_ = false;
  SyncControl(id);  // emptying a combo box empties its edit field too
  InvalidateRect(control, nullptr, TRUE);
}

void Win32Host::SyncStaleLists() {
  for (const ControlSpec& row : window_.Layout().controls) SyncList(row.id);
}

void Win32Host::Repaint(ControlId id) {
  HWND control = window_.ControlWindow(id);
  if (control == nullptr) return;
  SyncList(id);
  RedrawWindow(control, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void Win32Host::ArmTimer(ControlId id) {
  const ControlState& timer = form_->Controls()[id];
  if (timer.timer_enabled && timer.interval_ms > 0) {
    // Arming again restarts the count from now.
    SetTimer(window_.Handle(), TimerId(id), static_cast<UINT>(timer.interval_ms), nullptr);
  } else {
    KillTimer(window_.Handle(), TimerId(id));
  }
}

void Win32Host::ShowMessage(const std::string& text) {
  HWND owner = picker_ != nullptr && IsWindowVisible(picker_->Handle()) ? picker_->Handle()
                                                                        : window_.Handle();
  MessageBoxW(owner, Utf8ToWide(text).c_str(), L"Quorvel", MB_OK);
}

bool Win32Host::Ask(const std::string& text, bool yes_first) {
  return MessageBoxW(window_.Handle(), Utf8ToWide(text).c_str(), L"Quorvel",
                     MB_YESNO | (yes_first ? MB_DEFBUTTON1 : MB_DEFBUTTON2)) == IDYES;
}

void Win32Host::PumpEvents() {
  MSG msg{};
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE) != FALSE) {
    if (msg.message == WM_QUIT) {  // for the outermost loop
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    Dispatch(msg);
  }
}

// Modal without an owner: the operator window takes no input meanwhile, but its timers keep
// firing, since this loop dispatches them like the main loop.
void Win32Host::ShowModal(SaveDirForm& picker) {
  if (picker_ == nullptr || &picker_->Model() != &picker) {
    picker_ = std::make_unique<PickerWindow>(instance_, picker, form_->Controls());
  }
  if (picker_->Handle() == nullptr) {
    picker.CloseBox();  // no window: nothing changes
    return;
  }
  picker_->Show();
  // Disabled only once the picker has taken the activation, so the focus it had is kept.
  EnableWindow(window_.Handle(), FALSE);
  MSG msg{};
  while (picker.Visible()) {
    if (PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE) == FALSE) SyncStaleLists();
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {  // for the outermost loop
      PostQuitMessage(got == 0 ? static_cast<int>(msg.wParam) : 1);
      break;
    }
    Dispatch(msg);
  }
  EnableWindow(window_.Handle(), TRUE);
  picker_->Hide();
  SetForegroundWindow(window_.Handle());
}

WindowPosition Win32Host::GetWindowPosition() {
  RECT frame{};
  GetWindowRect(window_.Handle(), &frame);
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  if (IsIconic(window_.Handle()) && GetWindowPlacement(window_.Handle(), &placement)) {
    frame = placement.rcNormalPosition;  // where it comes back to, not the parked icon
  }
  const double twips_per_pixel = static_cast<double>(kTwipsPerInch) / window_.Dpi();
  return {frame.top * twips_per_pixel, frame.left * twips_per_pixel};
}

void Win32Host::MoveWindow(WindowPosition position) {
  const double pixels_per_twip = window_.Dpi() / static_cast<double>(kTwipsPerInch);
  SetWindowPos(window_.Handle(), nullptr,
               static_cast<int>(std::lround(position.left * pixels_per_twip)),
               static_cast<int>(std::lround(position.top * pixels_per_twip)), 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The windows go at once, even while a file server that does not answer holds a thread of the
// program, and with it the program's end: Wine keeps them shown until the process is gone.
void Win32Host::Quit() {
  EnumThreadWindows(GetCurrentThreadId(), HideWindow, 0);
  ExitProcess(0);
}

void Win32Host::Command(ControlId id, int code) {
  const ControlKind kind = SpecOf(id).kind;
  HWND control = window_.ControlWindow(id);
  if (IsFocusNotice(kind, code)) {
    Focused(id);
    return;
  }
  switch (kind) {
    case ControlKind::kTextBox:
    case ControlKind::kMultiLineTextBox:
      if (code == EN_CHANGE && !writing_) EditedText(id, WideToUtf8(WindowText(control)));
      break;
    case ControlKind::kComboBox:
      if (code == CBN_EDITCHANGE && !writing_) EditedText(id, WideToUtf8(WindowText(control)));
      if (code == CBN_DROPDOWN) SyncList(id);
      if (code == CBN_SELCHANGE && !writing_) {
        const LRESULT chosen = SendMessageW(control, CB_GETCURSEL, 0, 0);
        const LRESULT length = SendMessageW(control, CB_GETLBTEXTLEN, chosen, 0);
        if (chosen != CB_ERR && length != CB_ERR) {
          std::wstring item(static_cast<std::size_t>(length) + 1, L'\0');
          SendMessageW(control, CB_GETLBTEXT, chosen, reinterpret_cast<LPARAM>(item.data()));
          item.resize(static_cast<std::size_t>(length));
          EditedText(id, WideToUtf8(item));
        }
      }
      break;
    case ControlKind::kOptionButton:
    case ControlKind::kCommandButton:
      // A quick second click of a button comes as a double click.
      if (code == BN_CLICKED || code == BN_DOUBLECLICKED) form_->Clicked(id);
      break;
    default:
      break;
  }
}

void Win32Host::EditedText(ControlId id, std::string text) {
  echo_ = id;
  form_->Controls().SetText(id, std::move(text));
  echo_ = ControlId::kNone;
}

// The form hears of a focus move once the move is over: its handler may open the modal picker,
// which must not run inside the system's own focus change.
void Win32Host::Focused(ControlId id) {
  if (id == focus_) return;
  PostMessageW(window_.Handle(), kFocusMoved, Index(focus_), Index(id));
  focus_ = id;
}

void Win32Host::Activated(bool active) {
  if (active) {
    if (!window_.RestoreFocus()) {
      const std::vector<const ControlSpec*> order = TabOrder(window_.Layout());
      if (!order.empty()) SetFocus(window_.ControlWindow(order.front()->id));
    }
    return;
  }
  window_.RememberFocus();
  if (focus_ != ControlId::kNone) {
    PostMessageW(window_.Handle(), kFocusMoved, Index(focus_), Index(ControlId::kNone));
    focus_ = ControlId::kNone;
  }
}

// A click is on the window's surface when it is pressed and released where no control lies.
void Win32Host::SurfaceMouse(UINT message, LPARAM lparam) {
  const int x = window_.PixelsToTwips(static_cast<short>(LOWORD(lparam)));
  const int y = window_.PixelsToTwips(static_cast<short>(HIWORD(lparam)));
  const bool bare = IsBareSurface(window_.Layout(), x, y);
  if (message == WM_LBUTTONDOWN) {
    surface_pressed_ = bare;
  } else if (surface_pressed_) {
    surface_pressed_ = false;
    if (bare) form_->Clicked(ControlId::kNone);
  }
}

LRESULT Win32Host::HandleMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (form_ == nullptr) return DefWindowProcW(window, message, wparam, lparam);
  switch (message) {
    case WM_COMMAND: {
      const ControlId id = window_.ControlOf(reinterpret_cast<HWND>(lparam));
      if (lparam != 0 && id != ControlId::kNone) Command(id, HIWORD(wparam));
      return 0;
    }
    case kFocusMoved:
      form_->FocusChanged(static_cast<ControlId>(wparam), static_cast<ControlId>(lparam));
      return 0;
    case WM_TIMER:  // a timer's id is its control's index and one (TimerId)
      form_->TimerFired(static_cast<ControlId>(wparam - 1));
      return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX: {
      LRESULT brush = 0;
      if (window_.ControlColors(reinterpret_cast<HWND>(lparam), reinterpret_cast<HDC>(wparam),
                                form_->Controls(), brush)) {
        return brush;
      }
      break;
    }
    case WM_PAINT: {
      PAINTSTRUCT paint{};
      HDC dc = BeginPaint(window, &paint);
      window_.PaintLines(dc, form_->Controls());
      EndPaint(window, &paint);
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
      SurfaceMouse(message, lparam);
      return 0;
    case WM_ACTIVATE:
      Activated(LOWORD(wparam) != WA_INACTIVE);
      return 0;
    case WM_CLOSE:  // the system's close command: the settings are saved, the program ends
      KillTimer(window, TimerId(ControlId::kTimer1));
      KillTimer(window, TimerId(ControlId::kSleepTimer));
      form_->Terminate();
      Quit();
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace quorvel
