#include "app/win32/picker_window.h"

#include <algorithm>

#include "common/win32_text.h"

namespace quorvel {
namespace {

constexpr wchar_t kPickerClass[] = L"QuorvelSaveDirForm";
constexpr int kIndentPixels = 8;
constexpr int kFolderWidth = 14;
constexpr int kFolderHeight = 10;

void RegisterPickerClass(HINSTANCE instance, WNDPROC procedure) {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = instance;
  window_class.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  window_class.lpszClassName = kPickerClass;
  RegisterClassExW(&window_class);  // fails harmlessly when it is already registered
}

// A folder as a small closed or open file folder.
void DrawFolderGlyph(HDC dc, int left, int top, bool open) {
  HBRUSH fill = CreateSolidBrush(open ? RGB(255, 255, 192) : RGB(255, 255, 0));
  HGDIOBJ old_brush = SelectObject(dc, fill);
  HGDIOBJ old_pen = SelectObject(dc, GetStockObject(BLACK_PEN));
  Rectangle(dc, left, top + 2, left + kFolderWidth / 2, top + 4);  // the tab
  Rectangle(dc, left, top + 3, left + kFolderWidth, top + kFolderHeight);
  if (open) {  // the lid, lifted
    MoveToEx(dc, left, top + kFolderHeight - 1, nullptr);
    LineTo(dc, left + 3, top + 5);
    LineTo(dc, left + kFolderWidth + 2, top + 5);
    LineTo(dc, left + kFolderWidth - 1, top + kFolderHeight - 1);
  }
  SelectObject(dc, old_pen);
  SelectObject(dc, old_brush);
  DeleteObject(fill);
}

}  // namespace

PickerWindow::PickerWindow(HINSTANCE instance, SaveDirForm& model, const ControlModel& controls)
    : model_(model), controls_(controls), window_(SaveDirFormLayout()) {
  RegisterPickerClass(instance, &OwnerWindowProc<PickerWindow>);
  if (window_.Create(kPickerClass, instance, controls, this) == nullptr) return;
  // The directory list draws its own entries; each is one line of its font.
  HWND dir = window_.ControlWindow(ControlId::kDir1);
  HDC dc = GetDC(dir);
  HGDIOBJ old_font =
      SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(dir, WM_GETFONT, 0, 0)));
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old_font);
  ReleaseDC(dir, dc);
  SendMessageW(dir, LB_SETITEMHEIGHT, 0, std::max<LONG>(metrics.tmHeight + 2, kFolderHeight + 4));
}

void PickerWindow::Show() {
  Refresh();
  ShowWindow(Handle(), SW_SHOW);
  SetForegroundWindow(Handle());
  if (!window_.RestoreFocus()) SetFocus(window_.ControlWindow(ControlId::kDrive1));
}

void PickerWindow::Refresh() {
  HWND drives = window_.ControlWindow(ControlId::kDrive1);
  SendMessageW(drives, CB_RESETCONTENT, 0, 0);
  for (const Drive& drive : model_.Drives()) {
    const std::wstring name = Utf8ToWide(drive.name);
    SendMessageW(drives, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
  }
  SendMessageW(drives, CB_SETCURSEL, static_cast<WPARAM>(model_.DriveIndex()), 0);

  HWND dir = window_.ControlWindow(ControlId::kDir1);
  SendMessageW(dir, WM_SETREDRAW, FALSE, 0);
  SendMessageW(dir, LB_RESETCONTENT, 0, 0);
  for (const DirEntry& entry : model_.Entries()) {
    const std::wstring caption = Utf8ToWide(entry.caption);
    SendMessageW(dir, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(caption.c_str()));
  }
  SendMessageW(dir, LB_SETCURSEL, static_cast<WPARAM>(model_.Highlighted()), 0);
  SendMessageW(dir, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(dir, nullptr, TRUE);
}

void PickerWindow::Command(ControlId id, int code) {
  HWND control = window_.ControlWindow(id);
  switch (id) {
    case ControlId::kCommand1:
      if (code == BN_CLICKED) model_.Command1_Click();
      break;
    case ControlId::kDrive1:
      if (code == CBN_SELCHANGE) {
        const auto chosen = static_cast<int>(SendMessageW(control, CB_GETCURSEL, 0, 0));
        model_.ChooseDrive(chosen);
        Refresh();
      }
      break;
    case ControlId::kDir1: {
      const auto entry = static_cast<int>(SendMessageW(control, LB_GETCURSEL, 0, 0));
      if (code == LBN_SELCHANGE) model_.Highlight(entry);
      if (code == LBN_DBLCLK) {
        model_.Open(entry);
        Refresh();
      }
      break;
    }
    default:
      break;
  }
}

void PickerWindow::DrawFolder(const DRAWITEMSTRUCT& item) const {
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  FillRect(item.hDC, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  const auto index = static_cast<std::size_t>(item.itemID);
  if (item.itemID != static_cast<UINT>(-1) && index < model_.Entries().size()) {
    const DirEntry& entry = model_.Entries()[index];
    const int left = item.rcItem.left + 2 + entry.depth * kIndentPixels;
    const int height = item.rcItem.bottom - item.rcItem.top;
    DrawFolderGlyph(item.hDC, left, item.rcItem.top + (height - kFolderHeight) / 2,
                    entry.kind != DirEntryKind::kChild);
    RECT text = item.rcItem;
    text.left = left + kFolderWidth + 4;
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    const std::wstring caption = Utf8ToWide(entry.caption);
    DrawTextW(item.hDC, caption.c_str(), static_cast<int>(caption.size()), &text,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  }
  if ((item.itemState & ODS_FOCUS) != 0) DrawFocusRect(item.hDC, &item.rcItem);
}

LRESULT PickerWindow::HandleMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND: {
      const ControlId id = window_.ControlOf(reinterpret_cast<HWND>(lparam));
      if (lparam != 0 && id != ControlId::kNone) Command(id, HIWORD(wparam));
      return 0;
    }
    case WM_DRAWITEM:
      DrawFolder(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
      return TRUE;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX: {
      LRESULT brush = 0;
      if (window_.ControlColors(reinterpret_cast<HWND>(lparam), reinterpret_cast<HDC>(wparam),
                                controls_, brush)) {
        return brush;
      }
      break;
    }
    case WM_ACTIVATE:
      if (LOWORD(wparam) == WA_INACTIVE) {
        window_.RememberFocus();
      } else if (window_.RestoreFocus()) {
        return 0;
      }
      break;
    case WM_CLOSE:  // the close box hides the picker, like its button
      model_.CloseBox();
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace quorvel
