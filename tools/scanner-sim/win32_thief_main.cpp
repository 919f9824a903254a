// A bystander window that takes the foreground at a bad moment: once a window with the watched
// title shows up, it waits a little, then takes the foreground and keeps taking it back for a
// while. Every key it receives is logged, so a test can show that none reached it.
//
// Options: --steal-from TITLE (the window it watches for), --delay-ms N (after the title
// appears), --hold-ms N, --times N (0: it never takes the foreground), --title TEXT (its own),
// --log FILE, and --save-as: "another program"
// with the common Save As dialog of its own open, owned by its window, which logs each save made
// through it with the file chosen, and opens again after each save or cancel.
#include <windows.h>

#include <commdlg.h>

#include <optional>
#include <string>

#include "common/win32_text.h"
#include "tool_options.h"
#include "win32_key_hooks.h"

namespace quorvel {
namespace {

constexpr wchar_t kClassName[] = L"QuorvelFocusThief";
constexpr UINT_PTR kWatchTimer = 1;
constexpr UINT kWatchMs = 10;
constexpr UINT kOpenSaveAs = WM_APP + 1;

struct Thief {
  std::string watched = "Save As";
  std::string title = "Bystander Notes";
  std::string log_path;
  int delay_ms = 200;
  int hold_ms = 5000;
  int times = 1;
  // GetTickCount times, compared by their unsigned difference, which survives the wrap.
  std::optional<DWORD> seen_at;
  std::optional<DWORD> stolen_at;
  bool done = false;
  bool save_as = false;
  EventLog* log = nullptr;
};

Thief thief;

void Watch(HWND self) {
  if (thief.done || thief.times <= 0) return;
  const DWORD now = GetTickCount();
  if (!thief.seen_at) {
    const HWND watched = FindWindowW(nullptr, Utf8ToWide(thief.watched).c_str());
    if (watched && IsWindowVisible(watched)) thief.seen_at = now;
    return;
  }
  if (now - *thief.seen_at < static_cast<DWORD>(thief.delay_ms)) return;
  if (!thief.stolen_at) thief.stolen_at = now;
  if (now - *thief.stolen_at >= static_cast<DWORD>(thief.hold_ms)) {
    thief.done = true;
    return;
  }
  const HWND foreground = GetForegroundWindow();
  if (foreground != self && SetForegroundWindow(self))
    thief.log->Line("steal", RootTitle(foreground));
}

// The dialog's modal loop keeps the watch timer running. It ends once the window is gone.
void SaveAsLoop(HWND owner) {
  while (IsWindow(owner)) {
    wchar_t name[MAX_PATH] = L"";
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFile = name;
    dialog.nMaxFile = MAX_PATH;
    dialog.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
    if (GetSaveFileNameW(&dialog)) {
      thief.log->Line("save", WideToUtf8(name));
    } else if (CommDlgExtendedError() != 0) {
      return;
    }
  }
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case kOpenSaveAs:
      SaveAsLoop(window);
      return 0;
    case WM_TIMER:
      Watch(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wparam, lparam);
  }
}

}  // namespace
}  // namespace quorvel

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  using namespace quorvel;
  const ToolOption options[] = {{"--steal-from", &thief.watched}, {"--delay-ms", &thief.delay_ms},
                                {"--hold-ms", &thief.hold_ms},    {"--title", &thief.title},
                                {"--times", &thief.times},        {"--log", &thief.log_path},
                                {"--save-as", &thief.save_as}};
  ReadToolOptionsOrExit(Arguments(), options, "focus-thief");
  EventLog log(thief.log_path);
  thief.log = &log;

  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = WindowProc;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  window_class.lpszClassName = kClassName;
  RegisterClassExW(&window_class);
  const HWND window =
      CreateWindowExW(0, kClassName, Utf8ToWide(thief.title).c_str(), WS_OVERLAPPEDWINDOW, 600, 500,
                      300, 200, nullptr, nullptr, instance, nullptr);
  LogOwnKeys(log);
  ShowWindow(window, show);
  SetTimer(window, kWatchTimer, kWatchMs, nullptr);
  if (thief.save_as) PostMessageW(window, kOpenSaveAs, 0, 0);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
