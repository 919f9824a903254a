// A bystander window that takes the foreground at a bad moment: once a window with the watched
// title shows up, it waits a little, then takes the foreground and keeps taking it back for a
// while. Every key it receives is logged, so a test can show that none reached it.
//
// Options: --watch TITLE, --delay-ms N (after the title appears), --hold-ms N, --log FILE.
#include <windows.h>

#include <string>

#include "common/win32_text.h"
#include "win32_event_log.h"

namespace quorvel {
namespace {

constexpr wchar_t kClassName[] = L"QuorvelFocusThief";
constexpr UINT_PTR kWatchTimer = 1;
constexpr UINT kWatchMs = 10;

struct Thief {
  std::wstring watched;
  int delay_ms = 200;
  int hold_ms = 5000;
  ULONGLONG seen_at = 0;
  ULONGLONG stolen_at = 0;
  bool done = false;
  int grabs = 0;
};

Thief thief;

void Watch(HWND self) {
  if (thief.done) return;
  const ULONGLONG now = GetTickCount64();
  if (!thief.seen_at) {
    const HWND watched = FindWindowW(nullptr, thief.watched.c_str());
    if (watched && IsWindowVisible(watched)) {
      thief.seen_at = now;
      LogEvent("seen", WideToUtf8(thief.watched));
    }
    return;
  }
  if (now < thief.seen_at + static_cast<ULONGLONG>(thief.delay_ms)) return;
  if (!thief.stolen_at) thief.stolen_at = now;
  if (now >= thief.stolen_at + static_cast<ULONGLONG>(thief.hold_ms)) {
    thief.done = true;
    LogEvent("released", "grabs " + std::to_string(thief.grabs));
    return;
  }
  if (GetForegroundWindow() != self) {
    ++thief.grabs;
    const bool ok = SetForegroundWindow(self);
    LogEvent("grab", (ok ? "ok from " : "refused from ") + RootTitle(GetForegroundWindow()));
  }
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
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
  OpenEventLog(OptionValue(L"--log"));
  thief.watched = OptionValue(L"--watch", L"Save As");
  thief.delay_ms = OptionNumber(L"--delay-ms", 200);
  thief.hold_ms = OptionNumber(L"--hold-ms", 5000);

  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = WindowProc;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  window_class.lpszClassName = kClassName;
  RegisterClassExW(&window_class);
  const HWND window = CreateWindowExW(0, kClassName, L"Bystander Notes", WS_OVERLAPPEDWINDOW, 600,
                                      500, 300, 200, nullptr, nullptr, instance, nullptr);
  InstallKeyLog();
  ShowWindow(window, show);
  SetTimer(window, kWatchTimer, kWatchMs, nullptr);
  LogEvent("started", "watching " + WideToUtf8(thief.watched));

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
