#include "app/win32/alert_window.h"

#include "common/win32_text.h"

namespace quorvel {
namespace {

constexpr wchar_t kAlertClass[] = L"QuorvelStallAlert";

// The text with Windows line ends, as an edit control shows them.
std::wstring WindowsLines(const std::string& text) {
  std::wstring lines;
  for (wchar_t c : Utf8ToWide(text)) {
    if (c == L'\n') lines += L'\r';
    lines += c;
  }
  return lines;
}

}  // namespace

AlertWindow::~AlertWindow() {
  if (window_ && IsWindow(window_)) DestroyWindow(window_);
  if (font_) DeleteObject(font_);
}

void AlertWindow::Show(const std::string& title, const std::string& text) {
  if (window_ && !IsWindow(window_)) window_ = text_ = nullptr;  // closed by the operator
  if (!window_) {
    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = DefWindowProcW;
    window_class.hInstance = instance_;
    window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    window_class.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    window_class.lpszClassName = kAlertClass;
    RegisterClassExW(&window_class);
    // Six inches by three at the screen's resolution; shown without being activated, and never
    // activated by a click either.
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    const DWORD close_box = closing_ == Closing::kByTheOperator ? WS_SYSMENU : 0;
    window_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_NOACTIVATE, kAlertClass, L"",
                              WS_OVERLAPPED | WS_CAPTION | close_box, CW_USEDEFAULT, CW_USEDEFAULT,
                              6 * dpi, 3 * dpi, nullptr, nullptr, instance_, nullptr);
    RECT client{};
    GetClientRect(window_, &client);
    const int margin = dpi / 8;
    text_ = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_READONLY,
                            margin, margin, client.right - 2 * margin, client.bottom - 2 * margin,
                            window_, nullptr, instance_, nullptr);
    if (!font_) {
      font_ = CreateFontW(-MulDiv(10, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                          DEFAULT_CHARSET, 0, 0, 0, 0, L"MS Sans Serif");
    }
    SendMessageW(text_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
  }
  SetWindowTextW(window_, Utf8ToWide(title).c_str());
  SetWindowTextW(text_, WindowsLines(text).c_str());
  if (!IsWindowVisible(window_)) ShowWindow(window_, SW_SHOWNOACTIVATE);
}

void AlertWindow::Close() {
  if (window_ && IsWindow(window_)) ShowWindow(window_, SW_HIDE);
}

}  // namespace quorvel
